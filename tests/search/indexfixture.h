#pragma once

// Index files as content authors ship them: code page 1251 lines ended by CR LF.

#include "codepage.h"

#include <QByteArray>
#include <QStringList>

inline QByteArray indexText(const QStringList& lines, bool finalLineEnd = true)
{
    QByteArray text = toCp1251(lines.join(QStringLiteral("\r\n")));
    if (finalLineEnd && !lines.isEmpty())
        text += "\r\n";
    return text;
}
