// The pane script: it runs in the top document of every page of a pane, before the page's own
// scripts, and looks after the documents of its frames. It reports clicks on links (and keeps the
// engine from the ones the program takes), documents as they load, the active document, how far
// the frames are scrolled and the picture under the pointer through the console, and applies the
// pane's default style and visited links. It scrolls the page to a place the program kept, and a
// text the engine's find showed out from under a window over the pane. The file is one function
// expression; the page calls it with the pane's state ({ archiveMode, visited, css }) and the link
// rules (linkrules.js).
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

        // A document the reader scrolls is the one worked in, as one clicked in is. How far a
        // frame's document is scrolled goes with it, at most every tenth of a second: the program
        // keeps it for favorites and history (the page's own position it reads from the engine).
        let scrollTimer = 0;
        doc.addEventListener('scroll', (event) => {
            if (event.target !== doc || scrollTimer || !doc.defaultView) return;
            scrollTimer = doc.defaultView.setTimeout(() => {
                scrollTimer = 0;
                if (!doc.defaultView) return;
                if (doc === document)
                    send('active', { document: doc.location.href });
                else
                    send('scroll', { document: doc.location.href, y: Math.round(doc.defaultView.scrollY) });
            }, 100);
        }, { capture: true, passive: true });

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
            send('document', { document: child.location.href, title: child.title, top: false,
                               y: Math.round(child.defaultView.scrollY) });
        }, true);
    }
    let objectCount = 0;
    const objectIds = new WeakMap();

    const liveDocuments = () => documents.filter((doc) => doc.defaultView);
    const samePath = (a, b) => a.toLowerCase() === b.toLowerCase();

    // The document a kept place belongs to: the frame that shows the named document, else the
    // page itself; a frame set does not scroll, so there it is the largest of its frames.
    function readingDocument(name) {
        const live = liveDocuments();
        if (name) {
            const named = live.find((doc) => samePath(documentPath(doc), name));
            if (named) return named;
        }
        if (!document.body || document.body.tagName !== 'FRAMESET') return document;
        let best = document;
        let area = -1;
        for (const doc of live) {
            const frame = doc.defaultView.frameElement;
            if (!frame) continue;
            const r = frame.getBoundingClientRect();
            if (r.width * r.height > area) {
                area = r.width * r.height;
                best = doc;
            }
        }
        return best;
    }

    // The documents in the order the engine's find counts its matches: the page, then each
    // frame's document in the order of the frames.
    function documentsInOrder(doc, list) {
        list.push(doc);
        for (const frame of doc.querySelectorAll('frame, iframe')) {
            let child = null;
            try {
                child = frame.contentDocument;
            } catch (e) {
                continue;
            }
            if (child && child.body) documentsInOrder(child, list);
        }
        return list;
    }

    // The matches of text in a document, as ranges, read the way the find reads the text: blanks
    // run together, a match never crosses a block, letters compared without accents (and without
    // case unless asked).
    const kBlocks = new Set(['ADDRESS', 'BLOCKQUOTE', 'BODY', 'BR', 'CAPTION', 'CENTER', 'DD', 'DIV', 'DL', 'DT',
        'FIELDSET', 'FORM', 'H1', 'H2', 'H3', 'H4', 'H5', 'H6', 'HR', 'HTML', 'IMG', 'LI', 'OL', 'P', 'PRE',
        'TABLE', 'TBODY', 'TD', 'TFOOT', 'TH', 'THEAD', 'TR', 'UL']);
    const kUnread = new Set(['HEAD', 'NOSCRIPT', 'OPTION', 'SCRIPT', 'SELECT', 'STYLE', 'TEMPLATE', 'TEXTAREA',
        'TITLE']);
    const fold = (c, matchCase) => {
        const base = c.normalize('NFD').charAt(0) || c;
        return matchCase ? base : base.toLowerCase();
    };
    function textMatches(doc, query, matchCase) {
        const chars = [];
        const places = [];
        let blank = true;
        const apart = () => {
            chars.push('\u0000');
            places.push(null);
            blank = true;
        };
        const read = (node) => {
            for (let child = node.firstChild; child; child = child.nextSibling) {
                if (child.nodeType === Node.TEXT_NODE) {
                    const text = child.data;
                    for (let i = 0; i < text.length; ++i) {
                        const space = /\s/.test(text[i]);
                        if (space && blank) continue;
                        blank = space;
                        chars.push(space ? ' ' : fold(text[i], matchCase));
                        places.push([child, i]);
                    }
                } else if (child.nodeType === Node.ELEMENT_NODE && !kUnread.has(child.tagName)) {
                    const block = kBlocks.has(child.tagName);
                    if (block) apart();
                    read(child);
                    if (block) apart();
                }
            }
        };
        read(doc.body || doc.documentElement);
        const text = chars.join('');
        const wanted = query.trim().replace(/\s+/g, ' ').split('')
            .map((c) => (c === ' ' ? c : fold(c, matchCase))).join('');
        const ranges = [];
        if (!wanted) return ranges;
        for (let at = text.indexOf(wanted); at >= 0; at = text.indexOf(wanted, at + wanted.length)) {
            const first = places[at];
            const last = places[at + wanted.length - 1];
            if (!first || !last) continue;
            const range = doc.createRange();
            range.setStart(first[0], first[1]);
            range.setEnd(last[0], last[1] + 1);
            ranges.push(range);
        }
        return ranges;
    }

    // Where a document's viewport lies in the page's, through the frames that hold it.
    function offsetOf(doc) {
        let x = 0;
        let y = 0;
        for (let view = doc.defaultView; view && view.frameElement; view = view.parent) {
            const frame = view.frameElement;
            const r = frame.getBoundingClientRect();
            x += r.left + frame.clientLeft;
            y += r.top + frame.clientTop;
        }
        return { x: x, y: y };
    }

    // The find's active match (active of count, from 1), scrolled so that it lies clear of the
    // rectangle avoid (page coordinates; a window over the pane). Answers where the match is then,
    // in page coordinates, or null when it is not found.
    function reveal(message) {
        const matches = [];
        for (const doc of documentsInOrder(document, []))
            for (const range of textMatches(doc, message.text, message.matchCase)) matches.push(range);
        const visible = (range) => {
            const r = range.getBoundingClientRect();
            const view = range.startContainer.ownerDocument.defaultView;
            return r.height > 0 && r.bottom > 0 && r.top < view.innerHeight;
        };
        let hit = matches.length === message.count ? matches[message.active - 1] : null;
        if (!hit) hit = matches.find(visible);
        if (!hit) return null;
        const doc = hit.startContainer.ownerDocument;
        const view = doc.defaultView;
        const offset = offsetOf(doc);
        const avoid = {
            left: message.avoid.left - offset.x, top: message.avoid.top - offset.y,
            right: message.avoid.right - offset.x, bottom: message.avoid.bottom - offset.y,
        };
        let r = hit.getBoundingClientRect();
        if (r.bottom > avoid.top && r.top < avoid.bottom && r.right > avoid.left && r.left < avoid.right) {
            const margin = 8;
            const height = r.bottom - r.top;
            const scroller = doc.scrollingElement || doc.documentElement;
            const room = scroller.scrollHeight - view.innerHeight;
            // Up over the window, or down under it: what the page's length and its viewport allow,
            // the shorter way first.
            const up = r.bottom + margin - avoid.top;
            const down = r.top - margin - avoid.bottom;
            const ways = [];
            if (avoid.top - margin - height >= 0 && view.scrollY + up <= room) ways.push(up);
            if (avoid.bottom + margin + height <= view.innerHeight && view.scrollY + down >= 0) ways.push(down);
            ways.sort((a, b) => Math.abs(a) - Math.abs(b));
            if (ways.length) {
                view.scrollBy(0, ways[0]);
                r = hit.getBoundingClientRect();
            }
        }
        return [r.left + offset.x, r.top + offset.y, r.width, r.height];
    }

    function command(message) {
        if (message.op === 'scroll') {
            const doc = readingDocument(message.document);
            doc.defaultView.scrollTo(0, message.y);
            return;
        }
        if (message.op === 'reveal')
            return reveal(message);
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

    // The document the reader works in: the frame that has the focus, at any depth; on a frame set
    // without one, its largest frame; else the page itself.
    function focusedDocument() {
        let doc = document;
        for (;;) {
            const active = doc.activeElement;
            if (!active || (active.tagName !== 'FRAME' && active.tagName !== 'IFRAME')) break;
            let child = null;
            try {
                child = active.contentDocument;
            } catch (e) {
                break;
            }
            if (!child || !child.body) break;
            doc = child;
        }
        if (doc === document && document.body && document.body.tagName === 'FRAMESET')
            return readingDocument('');
        return doc;
    }

    // Selects the whole text of the document the reader works in, and nothing elsewhere, so that a
    // copy takes this selection. Answers the length of the text selected.
    pane.selectAll = function () {
        const doc = focusedDocument();
        for (const other of documentsInOrder(document, [])) {
            if (other !== doc && other.getSelection()) other.getSelection().removeAllRanges();
        }
        if (!doc.body || !doc.getSelection()) return 0;
        doc.getSelection().selectAllChildren(doc.body);
        return doc.getSelection().toString().length;
    };

    // The text selected: in the document the reader works in, else the first selection of the
    // page's documents; empty when nothing is selected.
    pane.selectedText = function () {
        const docs = [focusedDocument()].concat(documentsInOrder(document, []));
        for (const doc of docs) {
            const selection = doc.getSelection();
            const text = selection ? selection.toString() : '';
            if (text) return text;
        }
        return '';
    };

    attach(document);
    // The program sends the visited links once it hears of the load.
    window.addEventListener('load', () => {
        send('document', { document: location.href, title: document.title, top: true });
    });
})
