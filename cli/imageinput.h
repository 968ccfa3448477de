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

// --threshold, --invert, --dither and the picture options of to-bin.
void addConversionOptions(QCommandLineParser &parser);
bool conversionOptions(const QCommandLineParser &parser, const QString &command,
                       PicturePreparation::Options &options);

// Says so when an animation had more frames than a binary file holds.
void warnFramesLeftOut(const QString &path, const PictureDecoder::Picture &picture);

// IN as a binary file of `layout`, or a picture converted into one image of
// `layout` per frame (64 at most), told apart by content. Prints its own
// error naming the file.
bool readImages(const QString &path, const DisplayLayout &layout,
                const PicturePreparation::Options &options, QByteArray &contents);

} // namespace Cli
