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

    attach(document);
    // The program sends the visited links once it hears of the load.
    window.addEventListener('load', () => {
        send('document', { document: location.href, title: document.title, top: true });
    });
})
