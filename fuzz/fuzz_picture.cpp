// Arbitrary bytes as a picture file, taken the way the window takes one:
// format from the content, BMP or PNG only, every pixel held by the file,
// exactly 128x64, then converted in both row organisations and rendered back.
#include "core/binimage.h"
#include "core/picturefile.h"
#include "fuzzsupport.h"

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <cstdint>

using BinImage::RowOrganisation;
using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QImage picture;
    const FileAccess::Status status = PictureFile::decode(bytes, picture);
    check(status == FileAccess::Status::Ok || picture.isNull(), "a refused picture is not set");
    if (picture.width() != BinImage::Width || picture.height() != BinImage::Height)
        return 0;

    for (const RowOrganisation organisation : {RowOrganisation::Row63, RowOrganisation::Row127}) {
        const QByteArray image = BinImage::fromPicture(picture, organisation);
        check(image.size() == BinImage::ImageBytes, "a binary image is 1024 bytes");
        const auto *raw = reinterpret_cast<const uchar *>(image.constData());
        const QImage rendered = BinImage::toPicture(raw, qRgb(255, 255, 255), organisation);
        check(rendered.size() == QSize(BinImage::Width, BinImage::Height), "rendering is 128x64");
        // Black on white reads back as exactly the bytes it was drawn from.
        check(BinImage::fromPicture(rendered, organisation) == image, "render/convert round trip");
    }
    // The organisations only move column bytes: page 0 of the left half stays put.
    check(BinImage::fromPicture(picture, RowOrganisation::Row63).left(64)
              == BinImage::fromPicture(picture, RowOrganisation::Row127).left(64),
          "first 64 bytes agree in both organisations");
    return 0;
}
