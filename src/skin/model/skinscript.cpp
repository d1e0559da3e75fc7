#include "skinscript.h"

#include "contenterror.h"
#include "elementreader.h"
#include "windowcaptions.h"

#include <QJsonArray>

#include <map>

namespace {

QString key(const char* name)
{
    return QString::fromLatin1(name);
}

// IntKey, with the value kept within low..high: later sums and differences cannot overflow.
ScriptKey boundedIntKey(const QString& name, int& target, int low, int high)
{
    ScriptKey bounded = intKey(name, target);
    bounded.read = [read = std::move(bounded.read), &target, low, high](const QStringList& lines, int& line,
                                                                        qsizetype position) {
        read(lines, line, position);
        target = qBound(low, target, high);
    };
    return bounded;
}

// A coordinate, or another number of the layout (a pane's number, a group): within ±kMaxSkinCoordinate.
ScriptKey coordKey(const QString& name, int& target)
{
    return boundedIntKey(name, target, -kMaxSkinCoordinate, kMaxSkinCoordinate);
}

// A font size in points: 0..kMaxSkinFontSize (0 or less keeps the default size).
ScriptKey fontSizeKey(const QString& name, int& target)
{
    return boundedIntKey(name, target, 0, kMaxSkinFontSize);
}

// The element discipline over a key table, from line; line ends after the element's last line.
bool readElement(const QStringList& lines, int& line, const QList<ScriptKey>& keys,
                 const QList<ScriptKey>& optional = {})
{
    ElementReader reader(lines, line);
    const bool complete = reader.read(keys, optional);
    line = reader.line();
    return complete;
}

QList<ScriptKey> buttonRequired(RBtn& b)
{
    return {coordKey(key("vx"), b.vx),    coordKey(key("vy"), b.vy),  textKey(key("fn1"), b.fn1),
            textKey(key("fn2"), b.fn2),   textKey(key("fn3"), b.fn3), textKey(key("go"), b.go),
            textKey(key("hint"), b.hint), textKey(key("wav"), b.wav)};
}

QList<ScriptKey> buttonCaption(RBtn& b)
{
    return {textKey(key("textcaption"), b.textcaption),
            coordKey(key("texttx"), b.texttx),
            coordKey(key("textty"), b.textty),
            coordKey(key("textbx"), b.textbx),
            coordKey(key("textby"), b.textby),
            textKey(key("textfontname"), b.textfontname),
            fontSizeKey(key("textfontsize"), b.textfontsize),
            fontStyleKey(key("textfontstyleup"), b.styleup),
            fontStyleKey(key("textfontstylemv"), b.stylemv),
            fontStyleKey(key("textfontstyledn"), b.styledn),
            colorKey(key("textfontcolorup"), b.colorup),
            colorKey(key("textfontcolormv"), b.colormv),
            colorKey(key("textfontcolordn"), b.colordn)};
}

// The caption keys both switch kinds share: font, styles and colours per picture.
template <typename Switch> QList<ScriptKey> switchCaptionFont(Switch& s)
{
    return {textKey(key("textfontname"), s.textfontname),        fontSizeKey(key("textfontsize"), s.textfontsize),
            fontStyleKey(key("textfontstyleup"), s.styleup),     fontStyleKey(key("textfontstylemvup"), s.stylemvup),
            fontStyleKey(key("textfontstylemvdn"), s.stylemvdn), fontStyleKey(key("textfontstyledn"), s.styledn),
            colorKey(key("textfontcolorup"), s.colorup),         colorKey(key("textfontcolormvup"), s.colormvup),
            colorKey(key("textfontcolormvdn"), s.colormvdn),     colorKey(key("textfontcolordn"), s.colordn)};
}

// The "_popup" type: a named kind of list, or the number of a menu.
ScriptKey popupTypeKey(int& type)
{
    return {key("type"), [&type](const QStringList& lines, int& line, qsizetype position) {
                const QString value = ParseValue(lines[line], valuePosition(position, key("type")));
                static const std::pair<const char*, int> kinds[] = {{"historyback", PopupHistoryBack},
                                                                    {"historyforward", PopupHistoryForward},
                                                                    {"favorite", PopupFavorite},
                                                                    {"contexthtml", PopupContextHtml}};
                for (const auto& [name, kind] : kinds) {
                    if (value.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
                        type = kind;
                        return;
                    }
                }
                type = qBound(-kMaxSkinCoordinate, ParseInt(lines[line], position), kMaxSkinCoordinate);
            }};
}

} // namespace

SkinScript::SkinScript(ProgramFolders folders, Variant variant) : m_folders(std::move(folders)), m_variant(variant) {}

bool SkinScript::readButtonKeys(RBtn& button, const QStringList& lines, int& line, bool withCaption)
{
    return readElement(lines, line, buttonRequired(button), withCaption ? buttonCaption(button) : QList<ScriptKey>{});
}

void SkinScript::readHeader(const QStringList& scriptLines)
{
    // The thesaurus window lower-cases every line again before the header keys are looked for.
    QStringList lowered;
    if (m_variant == Variant::Thesaurus) {
        lowered = scriptLines;
        for (QString& line : lowered) {
            for (QChar& c : line) {
                if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                    c = QChar(c.unicode() + 32);
            }
        }
    }
    const QStringList& lines = m_variant == Variant::Thesaurus ? lowered : scriptLines;

    // A header button: seven keys with the element discipline, from the key's line on.
    const auto readHeaderButton = [&](RBtn& button, int& line, const QString& go) {
        button = RBtn();
        int at = line;
        const bool complete = readElement(lines, at,
                                          {coordKey(key("vx"), button.vx), coordKey(key("vy"), button.vy),
                                           textKey(key("fn1"), button.fn1), textKey(key("fn2"), button.fn2),
                                           textKey(key("fn3"), button.fn3), textKey(key("hint"), button.hint),
                                           textKey(key("wav"), button.wav)});
        button.go = go;
        line = complete ? at - 1 : int(lines.size());
        return complete;
    };

    const bool main = m_variant == Variant::Main;
    for (int line = 0; line < lines.size(); ++line) {
        const auto position = [&](const char* name) { return lines[line].indexOf(QLatin1String(name)); };
        const auto value = [&](const char* name, qsizetype at) {
            return ParseValue(lines[line], valuePosition(at, QLatin1String(name)));
        };

        if (const qsizetype at = position("title"); at >= 0) {
            header.title = value("title", at);
            if (!header.title.isEmpty())
                header.title[0] = header.title[0].toUpper();
        }
        if (main) {
            if (const qsizetype at = position("codec"); at >= 0)
                header.codec = value("codec", at);
            if (const qsizetype at = position("rolic"); at >= 0)
                header.rolic = value("rolic", at);
            if (position("helpwin") >= 0) {
                int at = line;
                const bool complete =
                    readElement(lines, at,
                                {coordKey(key("vw"), header.helpwinVw), coordKey(key("vh"), header.helpwinVh),
                                 pathKey(key("fn"), header.helpwin, m_folders)});
                line = complete ? at - 1 : int(lines.size());
                if (!complete)
                    addProblem(QStringLiteral("helpwin: the script ends before its keys vw, vh, fn"));
            }
            if (line >= lines.size())
                break;
            if (const qsizetype at = position("background"); at >= 0)
                header.background = value("background", at);
        }
        if (const qsizetype at = position("icon"); at >= 0)
            header.icon = value("icon", at);
        if (main) {
            if (position("bgsounddef") >= 0)
                header.bgsounddef = ParseList(lines, line, m_folders);
            if (position("vertexmain") >= 0) {
                const int start = line;
                try {
                    header.vertexmain = ParseVertexRegion(lines, line, m_folders);
                } catch (const ContentError& error) {
                    header.vertexmain.clear();
                    addProblem(QStringLiteral("vertexmain (line %1): %2; the window stays rectangular")
                                   .arg(start + 1)
                                   .arg(error.message()));
                }
            }
        }
        if (position("minimize") >= 0) {
            header.hasMinimize = readHeaderButton(header.minimize, line, QStringLiteral("minimize"));
            if (line >= lines.size())
                break;
        }
        if (position("close") >= 0)
            header.hasClose = readHeaderButton(header.close, line, QStringLiteral("exit"));
    }

    if (m_variant == Variant::Thesaurus)
        header.title = WindowCaption::Thesaurus();
}

void SkinScript::addProblem(const QString& text)
{
    if (problems.size() < kMaxProblems)
        problems.append(text);
    else if (problems.size() == kMaxProblems)
        problems.append(QStringLiteral("more than %1 problems; the rest are not listed").arg(kMaxProblems));
}

SkinScreen* SkinScript::screenAt(int number, int line)
{
    if (number < 1 || number > kMaxScreens) {
        addProblem(QStringLiteral("line %1: screen number %2 is outside 1..%3; the element is dropped")
                       .arg(line + 1)
                       .arg(number)
                       .arg(kMaxScreens));
        return nullptr;
    }
    if (screens.size() < number)
        screens.resize(number);
    return &screens[number - 1];
}

void SkinScript::readElements(const QStringList& lines)
{
    const bool main = m_variant == Variant::Main;
    static const char* const kMainKinds[] = {"button", "switchone", "switchgrp", "_html",  "_findtxt", "_path",
                                             "_clip",  "_text",     "_image",    "_popup", "_screen"};
    static const char* const kThesaurusKinds[] = {"button", "_html", "_findtxt", "_text", "_screen"};

    // Elements kept and dropped per screen and kind, for the cap of kMaxElementsPerScreen.
    std::map<std::pair<int, QString>, std::pair<int, qint64>> tally;
    const auto admit = [&tally](int screen, QLatin1String kind) {
        auto& [kept, dropped] = tally[{screen, QString(kind)}];
        if (kept < kMaxElementsPerScreen) {
            ++kept;
            return true;
        }
        ++dropped;
        return false;
    };

    int line = 0;
    while (line < lines.size()) {
        const QLatin1String kind = elementKindOn(lines[line], main ? std::span<const char* const>(kMainKinds)
                                                                   : std::span<const char* const>(kThesaurusKinds));
        if (kind.isEmpty()) {
            ++line;
            continue;
        }

        const int kindLine = line;
        const int number = ParseInt(lines[line], 0);
        const int screen = number > 0 ? number - 1 : -1; // dropped below when outside 1..kMaxScreens
        bool complete = true;
        const QLatin1String buttonKind("button");

        if (kind == QLatin1String("_screen")) {
            if (SkinScreen* s = screenAt(number, kindLine)) {
                if (header.hasMinimize && admit(screen, buttonKind))
                    s->buttons.append(header.minimize);
                if (header.hasClose && admit(screen, buttonKind))
                    s->buttons.append(header.close);
                s->background = ParseValue(lines[line], lines[line].indexOf(QLatin1String("screen")) + 7);
            }
            ++line;
            continue;
        }

        if (kind == QLatin1String("button")) {
            RBtn b;
            complete = readButtonKeys(b, lines, line, main);
            if (complete)
                if (SkinScreen* s = screenAt(number, kindLine); s && admit(screen, kind))
                    s->buttons.append(b);
        } else if (kind == QLatin1String("switchone")) {
            RSwthOne s;
            QList<ScriptKey> optional{
                textKey(key("textcaptionup"), s.textcaptionup), textKey(key("textcaptiondn"), s.textcaptiondn),
                coordKey(key("texttxup"), s.texttxup),          coordKey(key("texttyup"), s.texttyup),
                coordKey(key("textbxup"), s.textbxup),          coordKey(key("textbyup"), s.textbyup),
                coordKey(key("texttxdn"), s.texttxdn),          coordKey(key("texttydn"), s.texttydn),
                coordKey(key("textbxdn"), s.textbxdn),          coordKey(key("textbydn"), s.textbydn)};
            optional += switchCaptionFont(s);
            complete =
                readElement(lines, line,
                            {coordKey(key("vx"), s.vx), coordKey(key("vy"), s.vy), textKey(key("fn1"), s.fn1),
                             textKey(key("fn2"), s.fn2), textKey(key("fn3"), s.fn3), textKey(key("fn4"), s.fn4),
                             onOffKey(key("state"), s.state), onOffKey(key("store"), s.store),
                             pathKey(key("goup"), s.goup, m_folders), pathKey(key("godown"), s.godown, m_folders),
                             textKey(key("hint"), s.hint), textKey(key("wav"), s.wav)},
                            optional);
            if (complete)
                if (SkinScreen* target = screenAt(number, kindLine); target && admit(screen, kind))
                    target->switchone.append(s);
        } else if (kind == QLatin1String("switchgrp")) {
            RSwthGrp s;
            QList<ScriptKey> optional{textKey(key("textcaptionup"), s.textcaptionup),
                                      textKey(key("textcaptiondn"), s.textcaptiondn),
                                      coordKey(key("texttx"), s.texttx),
                                      coordKey(key("textty"), s.textty),
                                      coordKey(key("textbx"), s.textbx),
                                      coordKey(key("textby"), s.textby)};
            optional += switchCaptionFont(s);
            complete = readElement(lines, line,
                                   {coordKey(key("vx"), s.vx), coordKey(key("vy"), s.vy), textKey(key("fn1"), s.fn1),
                                    textKey(key("fn2"), s.fn2), textKey(key("fn3"), s.fn3), textKey(key("fn4"), s.fn4),
                                    onOffKey(key("state"), s.state), onOffKey(key("store"), s.store),
                                    coordKey(key("group"), s.group), pathKey(key("go"), s.go, m_folders),
                                    textKey(key("hint"), s.hint), textKey(key("wav"), s.wav)},
                                   optional);
            if (complete)
                if (SkinScreen* target = screenAt(number, kindLine); target && admit(screen, kind))
                    target->switchgrp.append(s);
        } else if (kind == QLatin1String("_html")) {
            RHTML h;
            complete = readElement(lines, line,
                                   {coordKey(key("vx"), h.vx), coordKey(key("vy"), h.vy), coordKey(key("vw"), h.vw),
                                    coordKey(key("vh"), h.vh), pathKey(key("fn"), h.fn, m_folders),
                                    coordKey(key("number"), h.number)});
            h.screen = screen;
            if (complete && screenAt(number, kindLine) && admit(screen, kind))
                html.append(h);
        } else if (kind == QLatin1String("_findtxt")) {
            RFindTxt f;
            complete = readElement(lines, line,
                                   {coordKey(key("vx"), f.vx), coordKey(key("vy"), f.vy), coordKey(key("vw"), f.vw),
                                    coordKey(key("vh"), f.vh), textKey(key("frame"), f.frame),
                                    listKey(key("nofiles"), f.nofiles, m_folders), coordKey(key("number"), f.number),
                                    textKey(key("hint"), f.hint)});
            f.screen = screen;
            if (complete && screenAt(number, kindLine) && admit(screen, kind))
                findtxt.append(f);
        } else if (kind == QLatin1String("_path")) {
            RPathInput p;
            complete = readElement(lines, line,
                                   {coordKey(key("vx"), p.vx), coordKey(key("vy"), p.vy), coordKey(key("vw"), p.vw),
                                    coordKey(key("vh"), p.vh), textKey(key("pathdef"), p.pathdef),
                                    textKey(key("hint"), p.hint)});
            p.screen = screen;
            if (complete && screenAt(number, kindLine) && admit(screen, kind))
                path.append(p);
        } else if (kind == QLatin1String("_clip")) {
            RClip c;
            complete = readElement(lines, line,
                                   {coordKey(key("vx"), c.vx), coordKey(key("vy"), c.vy), coordKey(key("vw"), c.vw),
                                    coordKey(key("vh"), c.vh), colorKey(key("bgcolor"), c.bgcolor),
                                    coordKey(key("html"), c.html)});
            c.screen = screen;
            if (complete && screenAt(number, kindLine) && admit(screen, kind))
                clip.append(c);
        } else if (kind == QLatin1String("_text")) {
            RText t;
            complete = readElement(lines, line,
                                   {coordKey(key("vx"), t.vx), coordKey(key("vy"), t.vy), coordKey(key("vw"), t.vw),
                                    textKey(key("font"), t.font), fontSizeKey(key("size"), t.size),
                                    textKey(key("style"), t.style), colorKey(key("color"), t.color),
                                    textKey(key("value"), t.value), textKey(key("ident"), t.ident),
                                    coordKey(key("number"), t.number)});
            t.screen = screen;
            if (complete && screenAt(number, kindLine) && admit(screen, kind))
                text.append(t);
        } else if (kind == QLatin1String("_image")) {
            RImage i;
            complete = readElement(lines, line,
                                   {coordKey(key("vx"), i.vx), coordKey(key("vy"), i.vy), coordKey(key("vw"), i.vw),
                                    coordKey(key("vh"), i.vh), pathKey(key("dir"), i.dir, m_folders)});
            if (!i.dir.endsWith(QLatin1Char('/')))
                i.dir += QLatin1Char('/');
            i.screen = screen;
            if (complete && screenAt(number, kindLine) && admit(screen, kind))
                image.append(i);
        } else if (kind == QLatin1String("_popup")) {
            RPopupData p;
            complete = readElement(lines, line,
                                   {coordKey(key("xfon"), p.xfon),
                                    coordKey(key("yfon"), p.yfon),
                                    textKey(key("fnfon"), p.fnfon),
                                    coordKey(key("xbtn"), p.xbtn),
                                    coordKey(key("ybtn"), p.ybtn),
                                    listKey(key("fnbtnup"), p.fnbtnup, m_folders),
                                    listKey(key("fnbtnmove"), p.fnbtnmove, m_folders),
                                    listKey(key("fnbtndown"), p.fnbtndown, m_folders),
                                    textKey(key("fontup"), p.fontup),
                                    fontSizeKey(key("sizeup"), p.sizeup),
                                    textKey(key("styleup"), p.styleup),
                                    colorKey(key("colorup"), p.colorup),
                                    textKey(key("fontmv"), p.fontmv),
                                    fontSizeKey(key("sizemv"), p.sizemv),
                                    textKey(key("stylemv"), p.stylemv),
                                    colorKey(key("colormv"), p.colormv),
                                    listKey(key("caption"), p.caption, m_folders),
                                    listKey(key("go"), p.go, m_folders),
                                    textKey(key("parent"), p.parent),
                                    popupTypeKey(p.type),
                                    listKey(key("vertex"), p.vertex, m_folders)});
            if (complete)
                if (SkinScreen* target = screenAt(number, kindLine); target && admit(screen, kind))
                    target->popups.append(p);
        }

        if (!complete) {
            addProblem(QStringLiteral("line %1: the %2 element is not complete when the script ends; it is dropped")
                           .arg(kindLine + 1)
                           .arg(kind));
            break;
        }
    }

    for (const auto& [where, counts] : tally) {
        if (counts.second > 0)
            addProblem(QStringLiteral("screen %1: %2 %3 elements beyond the first %4 are dropped")
                           .arg(where.first + 1)
                           .arg(counts.second)
                           .arg(where.second)
                           .arg(kMaxElementsPerScreen));
    }

    // The thesaurus window's pane shows the page it was started with, not the script's.
    if (m_variant == Variant::Thesaurus) {
        for (RHTML& pane : html)
            pane.fn.clear();
    }
}

bool SkinScript::hasStartClip() const
{
    return !header.rolic.isEmpty() && header.rolic != QLatin1String("no");
}

bool SkinScript::hasClickSounds() const
{
    for (const SkinScreen& screen : screens) {
        for (const RBtn& button : screen.buttons) {
            if (!button.wav.isEmpty() && button.wav != QLatin1String("no"))
                return true;
        }
    }
    return false;
}
