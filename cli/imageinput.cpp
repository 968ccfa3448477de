#include "cli/imageinput.h"

#include "cli/cliio.h"
#include "cli/messages.h"
#include "core/binfile.h"
#include "core/binimage.h"
#include "core/picturedecoder.h"
#include "core/picturepreparation.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace Cli {

namespace {

// False when `data` is no picture after all; `failed` then tells whether it
// was refused as one, which has been said.
bool convertPicture(const QString &path, const QByteArray &data, const DisplayLayout &layout,
                    const PicturePreparation::Options &options, QByteArray &contents,
                    bool &failed)
{
    const QSize target = layout.size();
    // As to-bin reads it.
    const PictureDecoder::Picture picture =
        PictureDecoder::decode(data, int(BinFile::MaxBytes / layout.imageBytes()),
                               PictureDecoder::sizeRequest(target, options));
    if (picture.status != FileAccess::Status::Ok) {
        // Display memory can start like a BMP or an icon, or end like a TGA:
        // a file of whole images that does not decode as such is what it
        // seems to be.
        failed = !PictureDecoder::hasWeakSignature(PictureDecoder::formatOf(data))
            || !BinFile::isValidLength(data.size(), layout.imageBytes(), BinFile::MaxBytes);
        if (failed)
            printError(inputName(path), pictureMessage(picture, target));
        return false;
    }
    QByteArray images;
    for (const QImage &frame : picture.frames)
        images += PicturePreparation::convert(frame, layout, options).bytes();
    warnFramesLeftOut(path, picture);
    contents = images;
    return true;
}

} // namespace

void warnFramesLeftOut(const QString &path, const PictureDecoder::Picture &picture)
{
    if (picture.frames.size() < picture.frameCount)
        printError(inputName(path), QStringLiteral("only the first %1 of its %2 frames fit in "
                                                   "the binary file")
                                        .arg(picture.frames.size())
                                        .arg(picture.frameCount));
}

bool readImages(const QString &path, const DisplayLayout &layout,
                const PicturePreparation::Options &options, QByteArray &contents)
{
    // Read once: standard input cannot be read again.
    QByteArray data;
    if (!readFile(path, data))
        return false;
    bool failed = false;
    if (!PictureDecoder::formatOf(data).isEmpty()
        && (convertPicture(path, data, layout, options, contents, failed) || failed))
        return !failed;
    if (!BinFile::isValidLength(data.size(), layout.imageBytes(), BinFile::MaxBytes)) {
        FileAccess::Facts facts;
        facts.length = data.size();
        printError(inputName(path),
                   readMessage(FileAccess::Status::BadLength, facts, {layout, BinFile::MaxBytes}));
        return false;
    }
    contents = data;
    return true;
}

} // namespace Cli
