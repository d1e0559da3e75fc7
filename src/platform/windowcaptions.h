#pragma once

// The captions of the program's companion windows: copies of the program started for help, the
// thesaurus or an enlarged picture, and the windows of the manual's own help system. Windows find
// each other by caption, so each is written here once.

#include <QString>
#include <QStringList>

namespace WindowCaption {

inline QString Help()
{
    return QStringLiteral(u"Помощь");
}

inline QString Thesaurus()
{
    return QStringLiteral(u"Тезаурус");
}

inline QString enlargedPicture()
{
    return QStringLiteral(u"Увеличенная картинка");
}

// The companion program with the wiring diagrams.
inline QString wiringDiagram()
{
    return QStringLiteral(u"Электросхема");
}

// The windows of the manual's help system, and the manual's own title.
inline QStringList helpSystem()
{
    return {QStringLiteral(u"Help System: Руководство по ремонту и эксплуатации автомобиля"),
            QStringLiteral(u"Справка: Руководство по ремонту и эксплуатации автомобиля"),
            QStringLiteral(u"Help Topics: Руководство по ремонту и эксплуатации автомобиля"),
            QStringLiteral(u"Руководство по ремонту и эксплуатации автомобиля")};
}

} // namespace WindowCaption
