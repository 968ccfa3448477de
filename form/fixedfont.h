#pragma once

#include <QFont>

// The face of the hex dump and of the clipboard text page: "Courier New",
// 8 points. Where Courier New is not installed the stand-in must be
// fixed-width too, or the columns of a dump or an exported table no longer
// line up. Hex digits and source text need no shaping, and skipping it
// halves the cost of laying out a dump.
inline QFont fixedWidthFont()
{
    QFont font(QStringLiteral("Courier New"), 8, QFont::Normal, false);
    font.setStyleHint(QFont::TypeWriter, QFont::PreferNoShaping);
    return font;
}
