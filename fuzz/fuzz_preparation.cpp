// Arbitrary bytes as a picture of any size, taken the way vexlor-cli to-bin
// takes one, then prepared with the options that the first two bytes choose:
// turned, fitted into 128x64 three ways, dithered, thresholded, inverted, in
// either organisation.
//
// Input: byte 0 holds the options (bit 0 fit, bit 1 invert, bits 2-3 the
// dithering, bit 4 row127, bits 5-6 the fit mode, bit 7 a quarter turn),
// byte 1 the threshold and, by its remainder by 3, what becomes of
// transparency; the rest is the file. Of the formats the command line
// reads, those decoded by Qt Gui and libjpeg alone are searched: the other
// plugins' libraries are not this project's to fuzz.
#include "core/binimage.h"
#include "core/picturedecoder.h"
#include "core/picturepreparation.h"
#include "fuzzsupport.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstddef>
#include <cstdint>

using BinImage::RowOrganisation;
using FuzzSupport::check;
using PicturePreparation::Dither;

namespace {

// libjpeg through this program gives, at full size, what it gives through
// the toolkit's reader, turned upright alike.
void checkJpeg(const QByteArray &file)
{
    const PictureDecoder::Picture own = PictureDecoder::decode(file, 1);
    if (own.status != FileAccess::Status::Ok)
        return;
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(true);
    check(own.frames.constFirst() == reader.read(), "a JPEG comes out as the toolkit reads it");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialise(argc, argv);
    // A small file may claim a huge picture; large ones only slow the search.
    QImageReader::setAllocationLimit(16);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    PicturePreparation::Options options;
    options.fit = data[0] & 1;
    options.invert = data[0] & 2;
    options.dither = Dither((data[0] >> 2) & 3);
    options.threshold = data[1];
    options.alpha = PicturePreparation::Alpha(data[1] % 3);
    options.fitMode = PicturePreparation::FitMode(qMin((data[0] >> 5) & 3, 2));
    options.orientation.clockwiseQuarterTurns = data[0] >> 7;
    const RowOrganisation organisation =
        data[0] & 16 ? RowOrganisation::Row127 : RowOrganisation::Row63;

    const QByteArray file =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const QByteArray format = PictureDecoder::formatOf(file);
    if (format != "bmp" && format != "png" && format != "gif" && format != "jpeg")
        return 0;
    const QSize display(BinImage::Width, BinImage::Height);
    const PictureDecoder::Picture decoded =
        PictureDecoder::decode(file, 3, [&](const QSize &upright) {
            return PicturePreparation::decodingSize(upright, display, options);
        });
    if (decoded.status != FileAccess::Status::Ok)
        return 0;
    if (format == "jpeg")
        checkJpeg(file);
    check(!decoded.frames.isEmpty() && decoded.frames.size() <= decoded.frameCount,
          "a decoded picture has frames, no more than it counts");
    const QImage picture = decoded.frames.constFirst();
    const QSize upright = PictureTransform::orientedSize(picture.size(), options.orientation);
    if (!options.fit && upright != display)
        return 0;

    const QByteArray image = PicturePreparation::convert(picture, organisation, options);
    check(image.size() == BinImage::ImageBytes, "a prepared image is 1024 bytes");
    PicturePreparation::Options opposite = options;
    opposite.invert = !options.invert;
    BinaryImage inverted =
        PicturePreparation::convert(picture, BinImage::layout(organisation), opposite);
    inverted.invert();
    check(inverted.bytes() == image, "inverting swaps every pixel and nothing else");

    QImage composited = picture;
    PicturePreparation::composite(composited, options.alpha);
    check(composited.size() == picture.size() && !PicturePreparation::hasTransparency(composited),
          "a composited picture is opaque");
    check(options.alpha == PicturePreparation::Alpha::Ignore
              || PicturePreparation::convert(composited, organisation, options) == image,
          "compositing twice changes nothing");

    const QImage fitted = PicturePreparation::fitted(picture, display, options.fitMode);
    check(fitted.size() == display, "a fitted picture is 128x64");
    const QImage dithered = PicturePreparation::dithered(fitted, options.dither, options.threshold);
    for (int y = 0; y < dithered.height(); ++y)
        for (int x = 0; x < dithered.width(); ++x)
            check(dithered.pixel(x, y) == 0xFF000000u || dithered.pixel(x, y) == 0xFFFFFFFFu,
                  "dithering leaves only black and white");
    return 0;
}
