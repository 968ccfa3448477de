#pragma once

#include "cli/parser.h"
#include "core/binaryimage.h"
#include "core/namedvalues.h"
#include "core/outputfile.h"

#include <QtGlobal>

class QByteArray;
class QCommandLineParser;
class QSize;
class QString;
#include <qcontainerfwd.h>

namespace PictureDecoder {
struct Picture;
}
namespace SourceText {
struct Options;
}
namespace PicturePreparation {
struct Options;
}

// What every subcommand shares: exit codes, messages, option handling and
// the reading and writing of files, "-" standing for stdin or stdout.
namespace Cli {

enum ExitCode {
    Success = 0,
    Failure = 1,   // a file is missing, malformed or cannot be written
    UsageError = 2 // the command line itself is wrong
};

bool isStandardStream(const QString &path);
QString inputName(const QString &path);
QString outputName(const QString &path);

// "vexlor-cli: FILE: message" on stderr.
void printError(const QString &file, const QString &message);
// False, after saying so on stderr, when standard output did not take it all.
bool printOutput(const QByteArray &bytes);

// Refuses, naming it, an argument whose bytes no string holds exactly
// (a file name that is not UTF-8 would otherwise become another name).
bool exactArguments(int argc, char *argv[]);

void addOutputOption(Parser &parser, const QString &description);
// Prints a usage error when -o is missing.
bool outputPath(const QCommandLineParser &parser, const QString &command, QString &path);
// Refuses, before anything is written, an output that would replace one of
// the command's own inputs.
bool outputSparesInputs(const QString &output, const QStringList &inputs);

// The one binary file a command reads: IN.bin, or '-' for standard input.
void addBinaryArgument(Parser &parser);

// The layout of the binary images: --display, --size, --layout, --bit-order,
// --controllers, and the window's two 128x64 organisations --row63 and
// --row127. Without any of them, row63, as in the window.
void addLayoutOptions(Parser &parser);
// Prints a usage error saying why when the options contradict each other.
bool displayLayout(const QCommandLineParser &parser, const QString &command,
                   DisplayLayout &layout);

// --capacity: what the memory that receives the file holds, in bytes.
void addCapacityOption(Parser &parser);
bool capacity(const QCommandLineParser &parser, const QString &command, qint64 &bytes);
// Refuses, naming the output, `bytes` written from `address` on that run
// past `capacity`.
bool fitsCapacity(const QCommandLineParser &parser, const QString &output, qint64 bytes,
                  qint64 capacity, qint64 address = 0);

bool intOption(const QCommandLineParser &parser, const QString &command, const QString &name,
               int minimum, int maximum, int &value);
void refuseValue(const QString &command, const QString &name, const QStringList &names,
                 const QString &given);
// A value given by name, from a table the library keeps; the error lists
// every name the option takes.
template <typename T>
bool namedOption(const QCommandLineParser &parser, const QString &command, const QString &name,
                 const QList<Named<T>> &table, T &value)
{
    if (!parser.isSet(name) || valueNamed(table, parser.value(name), value))
        return true;
    refuseValue(command, name, namesOf(table), parser.value(name));
    return false;
}

// --threshold, --invert, --dither, --rotate, --flip, --fit and --fit-mode:
// how a picture becomes an image.
void addPictureOptions(Parser &parser);
bool pictureOptions(const QCommandLineParser &parser, const QString &command,
                    PicturePreparation::Options &options);
void addImageOption(Parser &parser);
bool imageIndex(const QCommandLineParser &parser, const QString &command, int &index);

// These print their own error naming the file.
// A file of whole images of `layout`, at most BinFile::MaxBytes.
bool readBinary(const QString &path, const DisplayLayout &layout, QByteArray &contents);
bool selectImage(const QString &path, const QByteArray &contents, const DisplayLayout &layout,
                 int index, BinaryImage &image);
QList<BinaryImage> allImages(const QByteArray &contents, const DisplayLayout &layout);
// Any file up to the largest picture, for commands that tell what it is.
bool readFile(const QString &path, QByteArray &contents);
// Up to `maxFrames` frames, each to become an image of `target`'s size.
bool readPicture(const QString &path, const QSize &target,
                 const PicturePreparation::Options &options, int maxFrames,
                 PictureDecoder::Picture &picture);
bool writeOutput(const QString &path, const QByteArray &data);
bool writeOutputs(const QList<OutputFile::Output> &outputs);

// What a picture is, decoded only when it is `target`'s size, to tell
// whether it converts as it is; the decoders' own complaints are silenced.
PictureDecoder::Picture examinePicture(const QByteArray &data, const QSize &target);

// A name that ends in '/' is a folder: `name` inside it.
QString inFolder(const QString &path, const QString &name);
// "pic.bmp", 3 -> "pic-03.bmp"; "dir.d/pic", 3 -> "dir.d/pic-03".
QString numberedName(const QString &path, int index);

// What names and places firmware source: --name (`name` without it),
// --target, --attribute and --no-banner. False, said as a usage error of
// `command`, when one of them is wrong.
bool sourceNaming(const QCommandLineParser &parser, const QString &command, const QString &name,
                  SourceText::Options &options);

} // namespace Cli
