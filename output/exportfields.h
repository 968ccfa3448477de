#pragma once

#include <QString>

// The six delimiter texts of the export, as typed: "$tab" not yet expanded.
struct ExportFields
{
    QString comment;
    QString tableStart;
    QString tableEnd;
    QString lineStart;
    QString hexPrefix;
    QString separator;
};
