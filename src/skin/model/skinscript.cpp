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
ScriptKey BoundedIntKey(const QString& name, int& target, int low, int high)
{
    ScriptKey bounded = IntKey(name, target);
    bounded.read = [read = std::move(bounded.read), &target, low, high](const QStringList& lines, int& line,
                                                                        qsizetype position) {
        read(lines, line, position);
        target = qBound(low, target, high);
    };
    return bounded;
}

// A coordinate, or another number of the layout (a pane's number, a group): within ±kMaxSkinCoordinate.
ScriptKey CoordKey(const QString& name, int& target)
{
    return BoundedIntKey(name, target, -kMaxSkinCoordinate, kMaxSkinCoordinate);
}

// A font size in points: 0..kMaxSkinFontSize (0 or less keeps the default size).
ScriptKey FontSizeKey(const QString& name, int& target)
{
    return BoundedIntKey(name, target, 0, kMaxSkinFontSize);
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
    return {CoordKey(key("vx"), b.vx),    CoordKey(key("vy"), b.vy),  TextKey(key("fn1"), b.fn1),
            TextKey(key("fn2"), b.fn2),   TextKey(key("fn3"), b.fn3), TextKey(key("go"), b.go),
            TextKey(key("hint"), b.hint), TextKey(key("wav"), b.wav)};
}

QList<ScriptKey> buttonCaption(RBtn& b)
{
    return {TextKey(key("textcaption"), b.textcaption),
            CoordKey(key("texttx"), b.texttx),
            CoordKey(key("textty"), b.textty),
            CoordKey(key("textbx"), b.textbx),
            CoordKey(key("textby"), b.textby),
            TextKey(key("textfontname"), b.textfontname),
            FontSizeKey(key("textfontsize"), b.textfontsize),
            FontStyleKey(key("textfontstyleup"), b.styleup),
            FontStyleKey(key("textfontstylemv"), b.stylemv),
            FontStyleKey(key("textfontstyledn"), b.styledn),
            ColorKey(key("textfontcolorup"), b.colorup),
            ColorKey(key("textfontcolormv"), b.colormv),
            ColorKey(key("textfontcolordn"), b.colordn)};
}

// The caption keys both switch kinds share: font, styles and colours per picture.
template <typename Switch> QList<ScriptKey> switchCaptionFont(Switch& s)
{
    return {TextKey(key("textfontname"), s.textfontname),        FontSizeKey(key("textfontsize"), s.textfontsize),
            FontStyleKey(key("textfontstyleup"), s.styleup),     FontStyleKey(key("textfontstylemvup"), s.stylemvup),
            FontStyleKey(key("textfontstylemvdn"), s.stylemvdn), FontStyleKey(key("textfontstyledn"), s.styledn),
            ColorKey(key("textfontcolorup"), s.colorup),         ColorKey(key("textfontcolormvup"), s.colormvup),
            ColorKey(key("textfontcolormvdn"), s.colormvdn),     ColorKey(key("textfontcolordn"), s.colordn)};
}

// The "_popup" type: a named kind of list, or the number of a menu.
ScriptKey popupTypeKey(int& type)
{
    return {key("type"), [&type](const QStringList& lines, int& line, qsizetype position) {
                const QString value = ParseValue(lines[line], ValuePosition(position, key("type")));
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
                                          {CoordKey(key("vx"), button.vx), CoordKey(key("vy"), button.vy),
                                           TextKey(key("fn1"), button.fn1), TextKey(key("fn2"), button.fn2),
                                           TextKey(key("fn3"), button.fn3), TextKey(key("hint"), button.hint),
                                           TextKey(key("wav"), button.wav)});
        button.go = go;
        line = complete ? at - 1 : int(lines.size());
        return complete;
    };

    const bool main = m_variant == Variant::Main;
    for (int line = 0; line < lines.size(); ++line) {
        const auto position = [&](const char* name) { return lines[line].indexOf(QLatin1String(name)); };
        const auto value = [&](const char* name, qsizetype at) {
            return ParseValue(lines[line], ValuePosition(at, QLatin1String(name)));
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
                                {CoordKey(key("vw"), header.helpwinVw), CoordKey(key("vh"), header.helpwinVh),
                                 PathKey(key("fn"), header.helpwin, m_folders)});
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
        QLatin1String kind;
        const auto kinds =
            main ? std::span<const char* const>(kMainKinds) : std::span<const char* const>(kThesaurusKinds);
        for (const char* candidate : kinds) {
            if (lines[line].contains(QLatin1String(candidate))) {
                kind = QLatin1String(candidate);
                break;
            }
        }
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
                TextKey(key("textcaptionup"), s.textcaptionup), TextKey(key("textcaptiondn"), s.textcaptiondn),
                CoordKey(key("texttxup"), s.texttxup),          CoordKey(key("texttyup"), s.texttyup),
                CoordKey(key("textbxup"), s.textbxup),          CoordKey(key("textbyup"), s.textbyup),
                CoordKey(key("texttxdn"), s.texttxdn),          CoordKey(key("texttydn"), s.texttydn),
                CoordKey(key("textbxdn"), s.textbxdn),          CoordKey(key("textbydn"), s.textbydn)};
            optional += switchCaptionFont(s);
            complete =
                readElement(lines, line,
                            {CoordKey(key("vx"), s.vx), CoordKey(key("vy"), s.vy), TextKey(key("fn1"), s.fn1),
                             TextKey(key("fn2"), s.fn2), TextKey(key("fn3"), s.fn3), TextKey(key("fn4"), s.fn4),
                             OnOffKey(key("state"), s.state), OnOffKey(key("store"), s.store),
                             PathKey(key("goup"), s.goup, m_folders), PathKey(key("godown"), s.godown, m_folders),
                             TextKey(key("hint"), s.hint), TextKey(key("wav"), s.wav)},
                            optional);
            if (complete)
                if (SkinScreen* target = screenAt(number, kindLine); target && admit(screen, kind))
                    target->switchone.append(s);
        } else if (kind == QLatin1String("switchgrp")) {
            RSwthGrp s;
            QList<ScriptKey> optional{TextKey(key("textcaptionup"), s.textcaptionup),
                                      TextKey(key("textcaptiondn"), s.textcaptiondn),
                                      CoordKey(key("texttx"), s.texttx),
                                      CoordKey(key("textty"), s.textty),
                                      CoordKey(key("textbx"), s.textbx),
                                      CoordKey(key("textby"), s.textby)};
            optional += switchCaptionFont(s);
            complete = readElement(lines, line,
                                   {CoordKey(key("vx"), s.vx), CoordKey(key("vy"), s.vy), TextKey(key("fn1"), s.fn1),
                                    TextKey(key("fn2"), s.fn2), TextKey(key("fn3"), s.fn3), TextKey(key("fn4"), s.fn4),
                                    OnOffKey(key("state"), s.state), OnOffKey(key("store"), s.store),
                                    CoordKey(key("group"), s.group), PathKey(key("go"), s.go, m_folders),
                                    TextKey(key("hint"), s.hint), TextKey(key("wav"), s.wav)},
                                   optional);
            if (complete)
                if (SkinScreen* target = screenAt(number, kindLine); target && admit(screen, kind))
                    target->switchgrp.append(s);
        } else if (kind == QLatin1String("_html")) {
            RHTML h;
            complete = readElement(lines, line,
                                   {CoordKey(key("vx"), h.vx), CoordKey(key("vy"), h.vy), CoordKey(key("vw"), h.vw),
                                    CoordKey(key("vh"), h.vh), PathKey(key("fn"), h.fn, m_folders),
                                    CoordKey(key("number"), h.number)});
            h.screen = screen;
            if (complete && screenAt(number, kindLine) && admit(screen, kind))
                html.append(h);
        } else if (kind == QLatin1String("_findtxt")) {
            RFindTxt f;
            complete = readElement(lines, line,
                                   {CoordKey(key("vx"), f.vx), CoordKey(key("vy"), f.vy), CoordKey(key("vw"), f.vw),
                                    CoordKey(key("vh"), f.vh), TextKey(key("frame"), f.frame),
                                    ListKey(key("nofiles"), f.nofiles, m_folders), CoordKey(key("number"), f.number),
                                    TextKey(key("hint"), f.hint)});
            f.screen = screen;
            if (complete && screenAt(number, kindLine) && admit(screen, kind))
                findtxt.append(f);
        } else if (kind == QLatin1String("_path")) {
            RPathInput p;
            complete = readElement(lines, line,
                                   {CoordKey(key("vx"), p.vx), CoordKey(key("vy"), p.vy), CoordKey(key("vw"), p.vw),
                                    CoordKey(key("vh"), p.vh), TextKey(key("pathdef"), p.pathdef),
                                    TextKey(key("hint"), p.hint)});
            p.screen = screen;
            if (complete && screenAt(number, kindLine) && admit(screen, kind))
                path.append(p);
        } else if (kind == QLatin1String("_clip")) {
            RClip c;
            complete = readElement(lines, line,
                                   {CoordKey(key("vx"), c.vx), CoordKey(key("vy"), c.vy), CoordKey(key("vw"), c.vw),
                                    CoordKey(key("vh"), c.vh), ColorKey(key("bgcolor"), c.bgcolor),
                                    CoordKey(key("html"), c.html)});
            c.screen = screen;
            if (complete && screenAt(number, kindLine) && admit(screen, kind))
                clip.append(c);
        } else if (kind == QLatin1String("_text")) {
            RText t;
            complete = readElement(lines, line,
                                   {CoordKey(key("vx"), t.vx), CoordKey(key("vy"), t.vy), CoordKey(key("vw"), t.vw),
                                    TextKey(key("font"), t.font), FontSizeKey(key("size"), t.size),
                                    TextKey(key("style"), t.style), ColorKey(key("color"), t.color),
                                    TextKey(key("value"), t.value), TextKey(key("ident"), t.ident),
                                    CoordKey(key("number"), t.number)});
            t.screen = screen;
            if (complete && screenAt(number, kindLine) && admit(screen, kind))
                text.append(t);
        } else if (kind == QLatin1String("_image")) {
            RImage i;
            complete = readElement(lines, line,
                                   {CoordKey(key("vx"), i.vx), CoordKey(key("vy"), i.vy), CoordKey(key("vw"), i.vw),
                                    CoordKey(key("vh"), i.vh), PathKey(key("dir"), i.dir, m_folders)});
            if (!i.dir.endsWith(QLatin1Char('/')))
                i.dir += QLatin1Char('/');
            i.screen = screen;
            if (complete && screenAt(number, kindLine) && admit(screen, kind))
                image.append(i);
        } else if (kind == QLatin1String("_popup")) {
            RPopupData p;
            complete = readElement(lines, line,
                                   {CoordKey(key("xfon"), p.xfon),
                                    CoordKey(key("yfon"), p.yfon),
                                    TextKey(key("fnfon"), p.fnfon),
                                    CoordKey(key("xbtn"), p.xbtn),
                                    CoordKey(key("ybtn"), p.ybtn),
                                    ListKey(key("fnbtnup"), p.fnbtnup, m_folders),
                                    ListKey(key("fnbtnmove"), p.fnbtnmove, m_folders),
                                    ListKey(key("fnbtndown"), p.fnbtndown, m_folders),
                                    TextKey(key("fontup"), p.fontup),
                                    FontSizeKey(key("sizeup"), p.sizeup),
                                    TextKey(key("styleup"), p.styleup),
                                    ColorKey(key("colorup"), p.colorup),
                                    TextKey(key("fontmv"), p.fontmv),
                                    FontSizeKey(key("sizemv"), p.sizemv),
                                    TextKey(key("stylemv"), p.stylemv),
                                    ColorKey(key("colormv"), p.colormv),
                                    ListKey(key("caption"), p.caption, m_folders),
                                    ListKey(key("go"), p.go, m_folders),
                                    TextKey(key("parent"), p.parent),
                                    popupTypeKey(p.type),
                                    ListKey(key("vertex"), p.vertex, m_folders)});
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
