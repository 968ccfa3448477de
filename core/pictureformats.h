#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The picture formats of the command line: which it reads (told by their
// content) and which it writes (chosen by the output's extension). Help
// texts and manuals are made from or checked against this one table.
namespace PictureFormats {

struct Format
{
    const char *name;       // as the toolkit names it: "jpeg"
    const char *label;      // as people write it: "JPEG"
    const char *extensions; // the names it is written under, space-separated; empty if never
    bool read;
    bool lossy;             // writing it blurs a one-bit picture
};

const QList<Format> &all();

// "BMP, PNG, JPEG, ... and TGA".
QString readableLabels();
// ".bmp, .png, .xbm, ...": every extension a picture is written under.
QString writableExtensions();

// The format written under `suffix` ("JPG" -> jpeg), or nullptr.
const Format *forExtension(const QString &suffix);
const Format *named(const QByteArray &name);

} // namespace PictureFormats
