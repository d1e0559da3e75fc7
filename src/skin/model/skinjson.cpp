#include "skinscript.h"

#include <QJsonArray>

namespace {

QJsonArray strings(const QStringList& list)
{
    return QJsonArray::fromStringList(list);
}

QJsonArray styles(FontStyles s)
{
    QJsonArray names;
    if (s.testFlag(FontStyle::Bold))
        names.append(QStringLiteral("bold"));
    if (s.testFlag(FontStyle::Italic))
        names.append(QStringLiteral("italic"));
    if (s.testFlag(FontStyle::Underline))
        names.append(QStringLiteral("underline"));
    if (s.testFlag(FontStyle::StrikeOut))
        names.append(QStringLiteral("strikeout"));
    return names;
}

QJsonArray points(const QList<QPoint>& list)
{
    QJsonArray out;
    for (const QPoint& p : list)
        out.append(QJsonArray{p.x(), p.y()});
    return out;
}

QJsonObject toJson(const RBtn& b)
{
    return {{"vx", b.vx},
            {"vy", b.vy},
            {"right", b.right},
            {"bottom", b.bottom},
            {"textcaption", b.textcaption},
            {"texttx", b.texttx},
            {"textty", b.textty},
            {"textbx", b.textbx},
            {"textby", b.textby},
            {"textfontname", b.textfontname},
            {"textfontsize", b.textfontsize},
            {"styleup", styles(b.styleup)},
            {"stylemv", styles(b.stylemv)},
            {"styledn", styles(b.styledn)},
            {"colorup", b.colorup},
            {"colormv", b.colormv},
            {"colordn", b.colordn},
            {"fn1", b.fn1},
            {"fn2", b.fn2},
            {"fn3", b.fn3},
            {"go", b.go},
            {"hint", b.hint},
            {"wav", b.wav}};
}

// The fields both switch kinds have.
template <typename Switch> QJsonObject switchJson(const Switch& s)
{
    return {{"vx", s.vx},
            {"vy", s.vy},
            {"right", s.right},
            {"bottom", s.bottom},
            {"fn1", s.fn1},
            {"fn2", s.fn2},
            {"fn3", s.fn3},
            {"fn4", s.fn4},
            {"store", s.store},
            {"hint", s.hint},
            {"wav", s.wav},
            {"hover", s.hover},
            {"state", s.state},
            {"textcaptionup", s.textcaptionup},
            {"textcaptiondn", s.textcaptiondn},
            {"textfontname", s.textfontname},
            {"textfontsize", s.textfontsize},
            {"styleup", styles(s.styleup)},
            {"stylemvup", styles(s.stylemvup)},
            {"stylemvdn", styles(s.stylemvdn)},
            {"styledn", styles(s.styledn)},
            {"colorup", s.colorup},
            {"colormvup", s.colormvup},
            {"colormvdn", s.colormvdn},
            {"colordn", s.colordn}};
}

QJsonObject toJson(const RSwthOne& s)
{
    QJsonObject o = switchJson(s);
    o.insert(QStringLiteral("goup"), s.goup);
    o.insert(QStringLiteral("godown"), s.godown);
    const std::pair<const char*, int> rect[] = {
        {"texttxup", s.texttxup}, {"texttyup", s.texttyup}, {"textbxup", s.textbxup}, {"textbyup", s.textbyup},
        {"texttxdn", s.texttxdn}, {"texttydn", s.texttydn}, {"textbxdn", s.textbxdn}, {"textbydn", s.textbydn}};
    for (const auto& [name, value] : rect)
        o.insert(QLatin1String(name), value);
    return o;
}

QJsonObject toJson(const RSwthGrp& s)
{
    QJsonObject o = switchJson(s);
    o.insert(QStringLiteral("group"), s.group);
    o.insert(QStringLiteral("go"), s.go);
    o.insert(QStringLiteral("texttx"), s.texttx);
    o.insert(QStringLiteral("textty"), s.textty);
    o.insert(QStringLiteral("textbx"), s.textbx);
    o.insert(QStringLiteral("textby"), s.textby);
    return o;
}

QJsonObject toJson(const RHTML& h)
{
    return {{"vx", h.vx}, {"vy", h.vy},         {"vw", h.vw},        {"vh", h.vh},
            {"fn", h.fn}, {"number", h.number}, {"screen", h.screen}};
}

QJsonObject toJson(const RFindTxt& f)
{
    return {{"vx", f.vx},         {"vy", f.vy},         {"vw", f.vw},
            {"vh", f.vh},         {"frame", f.frame},   {"nofiles", strings(f.nofiles)},
            {"number", f.number}, {"screen", f.screen}, {"hint", f.hint}};
}

QJsonObject toJson(const RPathInput& p)
{
    return {{"vx", p.vx},           {"vy", p.vy},         {"vw", p.vw},    {"vh", p.vh},
            {"pathdef", p.pathdef}, {"screen", p.screen}, {"hint", p.hint}};
}

QJsonObject toJson(const RClip& c)
{
    return {{"vx", c.vx},           {"vy", c.vy},     {"vw", c.vw},        {"vh", c.vh},
            {"bgcolor", c.bgcolor}, {"html", c.html}, {"screen", c.screen}};
}

QJsonObject toJson(const RText& t)
{
    return {{"vx", t.vx},         {"vy", t.vy},         {"vw", t.vw},       {"font", t.font},
            {"size", t.size},     {"style", t.style},   {"color", t.color}, {"value", t.value},
            {"number", t.number}, {"screen", t.screen}, {"ident", t.ident}};
}

QJsonObject toJson(const RImage& i)
{
    return {{"vx", i.vx}, {"vy", i.vy}, {"vw", i.vw}, {"vh", i.vh}, {"dir", i.dir}, {"screen", i.screen}};
}

QJsonObject toJson(const RPopupData& p)
{
    return {{"xfon", p.xfon},
            {"yfon", p.yfon},
            {"fnfon", p.fnfon},
            {"xbtn", p.xbtn},
            {"ybtn", p.ybtn},
            {"fnbtnup", strings(p.fnbtnup)},
            {"fnbtnmove", strings(p.fnbtnmove)},
            {"fnbtndown", strings(p.fnbtndown)},
            {"fontup", p.fontup},
            {"fontmv", p.fontmv},
            {"sizeup", p.sizeup},
            {"sizemv", p.sizemv},
            {"styleup", p.styleup},
            {"stylemv", p.stylemv},
            {"colorup", p.colorup},
            {"colormv", p.colormv},
            {"caption", strings(p.caption)},
            {"go", strings(p.go)},
            {"parent", p.parent},
            {"type", p.type},
            {"vertex", strings(p.vertex)}};
}

template <typename Record> QJsonArray array(const QList<Record>& records)
{
    QJsonArray out;
    for (const Record& record : records)
        out.append(toJson(record));
    return out;
}

} // namespace

QJsonObject skinScriptToJson(const SkinScript& script)
{
    const SkinHeader& h = script.header;
    QJsonObject header{{"title", h.title},
                       {"codec", h.codec},
                       {"rolic", h.rolic},
                       {"helpwin", h.helpwin},
                       {"background", h.background},
                       {"icon", h.icon},
                       {"bgsounddef", strings(h.bgsounddef)},
                       {"vertexmain", points(h.vertexmain)}};
    if (h.hasMinimize)
        header.insert(QStringLiteral("minimize"), toJson(h.minimize));
    if (h.hasClose)
        header.insert(QStringLiteral("close"), toJson(h.close));

    QJsonArray screens;
    for (const SkinScreen& s : script.screens) {
        screens.append(QJsonObject{{"background", s.background},
                                   {"buttons", array(s.buttons)},
                                   {"switchone", array(s.switchone)},
                                   {"switchgrp", array(s.switchgrp)},
                                   {"popups", array(s.popups)}});
    }

    QJsonObject out{{"header", header},           {"screens", screens},
                    {"html", array(script.html)}, {"findtxt", array(script.findtxt)},
                    {"path", array(script.path)}, {"clip", array(script.clip)},
                    {"text", array(script.text)}, {"image", array(script.image)}};
    if (!script.problems.isEmpty())
        out.insert(QStringLiteral("problems"), strings(script.problems));
    return out;
}
