#pragma once

#include <qcontainerfwd.h>

class QByteArray;
class QCommandLineParser;
class QString;
struct DisplayLayout;
namespace PictureDecoder {
struct Picture;
}
namespace PicturePreparation {
struct Options;
}

// The input of the commands that take a binary file or a picture alike, so
// that one command goes from a picture to its text with the layout given once.
namespace Cli {

// Says so when an animation had more frames than a binary file holds.
void warnFramesLeftOut(const QString &path, const PictureDecoder::Picture &picture);

// IN as a binary file of `layout`, or a picture converted into one image of
// `layout` per frame, told apart by content. Prints its own
// error naming the file.
bool readImages(const QString &path, const DisplayLayout &layout,
                const PicturePreparation::Options &options, QByteArray &contents);

} // namespace Cli
