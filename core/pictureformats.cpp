#include "core/pictureformats.h"

#include <QStringList>

namespace PictureFormats {

namespace {

QString listed(const QStringList &items)
{
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ")
        + items.constLast();
}

} // namespace

const QList<Format> &all()
{
    // Written only where the toolkit's writer keeps every dot: GIF and TGA
    // have no writer here, MNG and SVG are read only.
    static const QList<Format> formats = {
        {"bmp", "BMP", "bmp", true, false},
        {"png", "PNG", "png", true, false},
        {"jpeg", "JPEG", "jpg jpeg", true, true},
        {"gif", "GIF", "", true, false},
        {"webp", "WebP", "webp", true, false},
        {"tiff", "TIFF", "tif tiff", true, false},
        {"svg", "SVG", "", true, false},
        {"svgz", "SVGZ", "", true, false},
        {"ico", "ICO", "ico", true, false},
        {"cur", "CUR", "cur", true, false},
        {"icns", "ICNS", "icns", true, false},
        {"mng", "MNG", "", true, false},
        {"xpm", "XPM", "xpm", true, false},
        {"xbm", "XBM", "xbm", true, false},
        {"pbm", "PBM", "pbm", true, false},
        {"pgm", "PGM", "pgm", true, false},
        {"ppm", "PPM", "ppm", true, false},
        {"tga", "TGA", "", true, false},
        {"wbmp", "WBMP", "wbmp", false, false},
    };
    return formats;
}

QString readableLabels()
{
    QStringList labels;
    for (const Format &format : all())
        if (format.read)
            labels << QLatin1String(format.label);
    return listed(labels);
}

QString writableExtensions()
{
    QStringList extensions;
    for (const Format &format : all())
        for (const QString &extension : QString::fromLatin1(format.extensions).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            extensions << QLatin1Char('.') + extension;
    return extensions.join(QStringLiteral(", "));
}

const Format *forExtension(const QString &suffix)
{
    for (const Format &format : all())
        if (QString::fromLatin1(format.extensions).split(QLatin1Char(' '), Qt::SkipEmptyParts)
                .contains(suffix, Qt::CaseInsensitive))
            return &format;
    return nullptr;
}

const Format *named(const QByteArray &name)
{
    for (const Format &format : all())
        if (name == format.name)
            return &format;
    return nullptr;
}

} // namespace PictureFormats
