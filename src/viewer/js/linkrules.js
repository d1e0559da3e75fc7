// The link rules of the program (linkrules.cpp) for the page: classify(target, link, archiveMode,
// documentPath) is true when a click is the program's, and the engine must not follow it. The
// file is one expression, an object of the rules, so that the pane script keeps them to itself.
(function () {
    'use strict';
    function linkFullPath(documentPath, link) {
        let path = link.replace(/\\/g, '/');
        const tail = path.search(/[#?]/);
        const suffix = tail >= 0 ? path.substring(tail) : '';
        let file = tail >= 0 ? path.substring(0, tail) : path;
        const hasDrive = (p) => /^[a-z]:/i.test(p);
        if (file === '')
            file = documentPath;
        else if (!hasDrive(file) && !file.startsWith('/'))
            file = documentPath.substring(0, documentPath.lastIndexOf('/') + 1) + file;
        const drive = hasDrive(file) ? file.substring(0, 2) : '';
        const rest = file.substring(drive.length);
        const parts = [];
        for (const part of rest.split('/')) {
            if (part === '' || part === '.') continue;
            if (part === '..' && parts.length && parts[parts.length - 1] !== '..') parts.pop();
            else if (part !== '..' || !rest.startsWith('/')) parts.push(part);
        }
        const clean = (rest.startsWith('/') ? '/' : '') + parts.join('/');
        return drive + (clean === '' ? '.' : clean) + suffix;
    }
    function linkExtension(fullPath) {
        const name = fullPath.substring(fullPath.lastIndexOf('/') + 1);
        const dot = name.lastIndexOf('.');
        return dot < 0 ? '' : name.substring(dot).toLowerCase();
    }
    function classify(target, link, archiveMode, documentPath) {
        const lower = link.toLowerCase();
        if (target.toLowerCase() === '_blank') return true;
        if (['http:', 'https:', 'ftp:', 'mailto:'].some(s => lower.includes(s))) return true;
        if (lower.includes('printhtml:') || lower.includes('copy:') || lower.includes('copylist:')) return true;
        if (lower.startsWith('javascript:')) return false;
        const fragmentOnly = lower.startsWith('#');
        const fullPath = linkFullPath(documentPath, link);
        const extension = linkExtension(fullPath);
        const shown = ['.htm', '.txt', '.inf', '.diz', '.bmp', '.gif', '.jpg', '.jpeg'].some(t => extension.includes(t));
        if (!fragmentOnly && !shown) return true;
        if (archiveMode) {
            const name = fullPath.substring(fullPath.lastIndexOf('/') + 1).toLowerCase();
            return !fragmentOnly && !name.includes('as_');
        }
        return /^[a-z]:/i.test(link);
    }
    return { linkFullPath: linkFullPath, linkExtension: linkExtension, classify: classify };
})()
