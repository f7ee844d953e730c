#pragma once

#include <QString>

// A text as the window shows it: the "\r\n" between lines becomes a line break.
inline QString shownText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
