#include "dialogscript.h"

#include "elementreader.h"

namespace {

QString key(const char* name)
{
    return QString::fromLatin1(name);
}

bool readElement(const QStringList& lines, int& line, const QList<ScriptKey>& keys,
                 const QList<ScriptKey>& optional = {})
{
    ElementReader reader(lines, line);
    const bool complete = reader.read(keys, optional);
    line = reader.line();
    return complete;
}

} // namespace

DialogScript readDialogScript(const QStringList& lines, const ProgramFolders& folders)
{
    DialogScript script;
    static const char* const kKinds[] = {"_picture", "_text", "_button", "switchgrp"};
    int line = 0;
    while (line < lines.size()) {
        const QString& text = lines[line];
        const QString kind = elementKindOn(text, kKinds);
        if (kind.isEmpty()) {
            ++line;
            continue;
        }
        const int kindLine = line;
        const int number = ParseInt(text, 1);
        DialogPage* page = nullptr;
        if (number >= 1 && number <= DialogScript::kMaxPages) {
            while (script.pages.size() < number)
                script.pages.append(DialogPage());
            page = &script.pages[number - 1];
        } else {
            script.problems.append(QStringLiteral("line %1: page %2 is outside 1..%3; the element is dropped")
                                       .arg(kindLine + 1)
                                       .arg(number)
                                       .arg(DialogScript::kMaxPages));
        }

        bool complete = true;
        if (kind == QLatin1String("_picture")) {
            QString picture;
            complete = readElement(lines, line, {textKey(key("picture"), picture)});
            if (complete && page)
                page->picture = picture;
        } else if (kind == QLatin1String("_text")) {
            DialogText t;
            complete = readElement(lines, line,
                                   {intKey(key("vx"), t.vx), intKey(key("vy"), t.vy), intKey(key("vw"), t.vw),
                                    textKey(key("font"), t.font), intKey(key("size"), t.size),
                                    fontStyleKey(key("style"), t.style), colorKey(key("color"), t.color),
                                    textKey(key("value"), t.value)});
            if (complete && page)
                page->text = t;
        } else if (kind == QLatin1String("_button")) {
            DialogButton b;
            complete =
                readElement(lines, line,
                            {intKey(key("vx"), b.vx), intKey(key("vy"), b.vy), textKey(key("align"), b.align),
                             textKey(key("fn1"), b.fn1), textKey(key("fn2"), b.fn2), textKey(key("fn3"), b.fn3),
                             textKey(key("go"), b.go), textKey(key("hint"), b.hint), textKey(key("wav"), b.wav)});
            if (complete && page)
                page->buttons.append(b);
        } else {
            RSwthGrp s;
            const QList<ScriptKey> optional{textKey(key("textcaptionup"), s.textcaptionup),
                                            textKey(key("textcaptiondn"), s.textcaptiondn),
                                            intKey(key("texttx"), s.texttx),
                                            intKey(key("textty"), s.textty),
                                            intKey(key("textbx"), s.textbx),
                                            intKey(key("textby"), s.textby),
                                            textKey(key("textfontname"), s.textfontname),
                                            intKey(key("textfontsize"), s.textfontsize),
                                            fontStyleKey(key("textfontstyleup"), s.styleup),
                                            fontStyleKey(key("textfontstylemvup"), s.stylemvup),
                                            fontStyleKey(key("textfontstylemvdn"), s.stylemvdn),
                                            fontStyleKey(key("textfontstyledn"), s.styledn),
                                            colorKey(key("textfontcolorup"), s.colorup),
                                            colorKey(key("textfontcolormvup"), s.colormvup),
                                            colorKey(key("textfontcolormvdn"), s.colormvdn),
                                            colorKey(key("textfontcolordn"), s.colordn)};
            complete = readElement(lines, line,
                                   {intKey(key("vx"), s.vx), intKey(key("vy"), s.vy), textKey(key("fn1"), s.fn1),
                                    textKey(key("fn2"), s.fn2), textKey(key("fn3"), s.fn3), textKey(key("fn4"), s.fn4),
                                    onOffKey(key("state"), s.state), onOffKey(key("store"), s.store),
                                    intKey(key("group"), s.group), pathKey(key("go"), s.go, folders),
                                    textKey(key("hint"), s.hint), textKey(key("wav"), s.wav)},
                                   optional);
            if (complete && page)
                page->switches.append(s);
        }
        if (!complete) {
            script.problems.append(
                QStringLiteral("line %1: the script ends before the %2 element is complete; it is dropped")
                    .arg(kindLine + 1)
                    .arg(kind));
            break;
        }
        if (line <= kindLine)
            line = kindLine + 1;
    }
    return script;
}
