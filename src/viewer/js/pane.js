// The pane script: it runs in the top document of every page of a pane, before the page's own
// scripts, and looks after the documents of its frames. It reports clicks on links (and keeps the
// engine from the ones the program takes), documents as they load, the active document and the
// picture under the pointer through the console, and applies the pane's default style and visited
// links. The file is one function expression; the page calls it with the pane's state
// ({ archiveMode, visited, css }) and the link rules (linkrules.js).
(function (initialState, rules) {
    'use strict';
    if (window !== window.top || window.__velbrookPane) return;
    const pane = window.__velbrookPane = { state: initialState };
    // Taken before the page's own scripts run, which share this world and might replace them.
    const debug = console.debug.bind(console);
    const stringify = JSON.stringify;
    const send = (kind, data) => debug('\u0001velbrook:' + stringify(Object.assign({ kind: kind }, data)));
    const linkFullPath = rules.linkFullPath;
    const classify = rules.classify;

    // The top document looks after itself and, as they load, the documents of its frames (all of
    // one origin): the engine runs this script only in the top document of a page.
    const documents = [];
    const documentPath = (doc) => decodeURIComponent(doc.location.pathname);

    function markVisited(doc) {
        const visited = new Set(pane.state.visited);
        for (const a of doc.querySelectorAll('a[href], area[href]'))
            a.classList.toggle('velbrook-visited', visited.has(linkFullPath(documentPath(doc), a.getAttribute('href')).toLowerCase()));
    }
    function applyStyle(doc) {
        const sheet = new doc.defaultView.CSSStyleSheet();
        sheet.replaceSync(pane.state.css);
        doc.adoptedStyleSheets = [sheet];
    }

    function attach(doc) {
        if (!doc || documents.includes(doc)) return;
        for (let i = documents.length - 1; i >= 0; --i) {
            if (!documents[i].defaultView) documents.splice(i, 1);
        }
        documents.push(doc);
        applyStyle(doc);

        doc.addEventListener('click', (event) => {
            if (event.button !== 0 || event.defaultPrevented || !event.target.closest)
                return;
            const a = event.target.closest('a[href], area[href]');
            if (!a)
                return;
            const link = a.getAttribute('href');
            const base = doc.querySelector('base[target]');
            const target = a.getAttribute('target') || (base ? base.getAttribute('target') : '') || '';
            const handled = classify(target, link, pane.state.archiveMode, documentPath(doc));
            if (handled)
                event.preventDefault();
            const report = { target: target, link: link, document: doc.location.href, handled: handled };
            if (link.toLowerCase().includes('copylist:')) {
                report.lists = Array.from(doc.querySelectorAll('select')).map((s) => ({
                    name: s.name || '',
                    selected: s.selectedIndex >= 0 ? s.options[s.selectedIndex].text : null,
                }));
            }
            send('click', report);
        }); // after the page's own handlers, which may cancel the click

        doc.addEventListener('mousedown', () => send('active', { document: doc.location.href }), true);

        let lastObject = null;
        doc.addEventListener('mousemove', (event) => {
            const element = event.target;
            let object = null;
            let kind = 'none';
            if (element.tagName === 'IMG') {
                object = element;
                kind = 'picture';
            } else if (element.closest && element.closest('input, select, textarea, button')) {
                object = element.closest('input, select, textarea, button');
                kind = 'control';
            }
            if (object === lastObject)
                return;
            lastObject = object;
            if (object && !objectIds.has(object))
                objectIds.set(object, ++objectCount);
            send('pointer', {
                object: kind,
                title: kind === 'picture' ? (object.title || '') : '',
                id: object ? String(objectIds.get(object)) : '',
            });
        }, true);
        doc.addEventListener('mouseleave', () => {
            lastObject = null;
            send('pointer', { object: 'none', title: '', id: '' });
        });

        // Frames: each document a frame loads is looked after as well.
        doc.addEventListener('load', (event) => {
            const frame = event.target;
            if (frame.tagName !== 'FRAME' && frame.tagName !== 'IFRAME')
                return;
            let child = null;
            try {
                child = frame.contentDocument;
            } catch (e) {
                return;
            }
            if (!child || child.location.href === 'about:blank')
                return;
            attach(child);
            markVisited(child);
            send('document', { document: child.location.href, title: child.title, top: false });
        }, true);
    }
    let objectCount = 0;
    const objectIds = new WeakMap();

    function command(message) {
        for (const doc of documents) {
            if (!doc.defaultView) continue;
            if (message.op === 'state') {
                pane.state = Object.assign(message.state, { visited: pane.state.visited });
                applyStyle(doc);
            } else if (message.op === 'visited') {
                pane.state.visited = message.visited;
                markVisited(doc);
            } else if (message.op === 'top' && (!message.document || message.document === documentPath(doc))) {
                doc.defaultView.scrollTo(0, 0);
                if (!message.document) break;
            } else if (message.op === 'scroll') {
                doc.defaultView.scrollTo(0, message.y);
                break;
            }
        }
    }
    pane.command = command;

    // Text as the reader sees it, for finding words: the text of a document's body with every run
    // of white space as one blank, lower case unless the case matters, and for each of its
    // characters the text node and offset it came from.
    const isBlank = (c) => c === ' ' || c === '\n' || c === '\t' || c === '\r' || c === '\f' || c === '\u00a0';
    function foldText(text, matchCase) {
        let out = '';
        let blank = true;
        for (const c of text) {
            if (isBlank(c)) {
                if (!blank) out += ' ';
                blank = true;
                continue;
            }
            blank = false;
            const folded = matchCase ? c : c.toLowerCase();
            out += folded.length === c.length ? folded : c;
        }
        return out.trimEnd();
    }
    function readableText(doc, matchCase) {
        let text = '';
        const places = [];
        if (!doc.body) return { text: text, places: places };
        const walker = doc.createTreeWalker(doc.body, NodeFilter.SHOW_TEXT, {
            acceptNode: (node) => node.parentElement && node.parentElement.closest('script, style, noscript, title')
                ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT,
        });
        let blank = true;
        for (let node = walker.nextNode(); node; node = walker.nextNode()) {
            const data = node.data;
            for (let i = 0; i < data.length; ++i) {
                const c = data[i];
                if (isBlank(c)) {
                    if (!blank) {
                        text += ' ';
                        places.push([node, i]);
                    }
                    blank = true;
                    continue;
                }
                blank = false;
                const folded = matchCase ? c : c.toLowerCase();
                text += folded.length === 1 ? folded : c;
                places.push([node, i]);
            }
        }
        return { text: text, places: places };
    }
    // The document of the frame of that name (without regard to case), at any depth.
    function frameDocument(doc, name) {
        for (const frame of doc.querySelectorAll('frame, iframe')) {
            let child = null;
            try {
                child = frame.contentDocument;
            } catch (e) {
                continue;
            }
            if ((frame.getAttribute('name') || '').toLowerCase() === name.toLowerCase())
                return child;
            const inner = child ? frameDocument(child, name) : null;
            if (inner) return inner;
        }
        return null;
    }
    function select(doc, range) {
        const selection = doc.getSelection();
        selection.removeAllRanges();
        selection.addRange(range);
        const element = range.startContainer.parentElement;
        if (element) element.scrollIntoView({ block: 'center', inline: 'nearest' });
    }

    // Finds the text in the frame named frame, after its selection and wrapping round at its end,
    // and selects and shows it: { frame: whether the page has that frame, matches, active (from 1) }.
    pane.findInFrame = function (name, query, matchCase) {
        const doc = frameDocument(document, name);
        if (!doc) return { frame: false, matches: 0, active: 0 };
        const wanted = foldText(query, matchCase);
        const seen = readableText(doc, matchCase);
        const ranges = [];
        for (let at = wanted ? seen.text.indexOf(wanted) : -1; at >= 0; at = seen.text.indexOf(wanted, at + wanted.length)) {
            const range = doc.createRange();
            const first = seen.places[at];
            const last = seen.places[at + wanted.length - 1];
            range.setStart(first[0], first[1]);
            range.setEnd(last[0], last[1] + 1);
            ranges.push(range);
        }
        if (!ranges.length) return { frame: true, matches: 0, active: 0 };
        const selection = doc.getSelection();
        let index = 0;
        if (selection && selection.rangeCount > 0) {
            const current = selection.getRangeAt(0);
            index = ranges.findIndex((range) => range.compareBoundaryPoints(Range.START_TO_START, current) > 0);
            if (index < 0) index = 0;
        }
        select(doc, ranges[index]);
        return { frame: true, matches: ranges.length, active: index + 1 };
    };

    // Selects the headword of an article: the words after the first mark that follows the anchor
    // (the page's top without one), to the end of their text or a dash. Answers the headword, or
    // an empty text when there is none.
    pane.selectHeadword = function (anchor, mark) {
        if (!document.body || !mark) return '';
        const start = anchor ? (document.getElementById(anchor) || document.getElementsByName(anchor)[0]) : null;
        const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
        if (start) walker.currentNode = start;
        for (let node = walker.nextNode(); node; node = walker.nextNode()) {
            const data = node.data;
            const at = data.indexOf(mark);
            if (at < 0) continue;
            let from = at + mark.length;
            while (from < data.length && isBlank(data[from])) ++from;
            let end = data.length;
            const dash = data.slice(from).search(/[\u2013\u2014]|\s-\s/);
            if (dash >= 0) end = from + dash;
            while (end > from && isBlank(data[end - 1])) --end;
            if (end <= from) continue;
            const range = document.createRange();
            range.setStart(node, from);
            range.setEnd(node, end);
            select(document, range);
            return data.slice(from, end);
        }
        return '';
    };

    attach(document);
    // The program sends the visited links once it hears of the load.
    window.addEventListener('load', () => {
        send('document', { document: location.href, title: document.title, top: true });
    });
})
