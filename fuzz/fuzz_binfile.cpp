// Binary files of arbitrary length and content read by BinFile::read, then
// every image read is rendered in both organisations and dumped as hex.
//
// Input: a first byte with its top bit clear makes the rest of the input the
// file as is. With the top bit set, the file's length is chosen near a
// multiple of 1024 (up to 66 images, off by -1, 0 or +1 byte) and filled by
// repeating the rest of the input, so the accepted lengths and the ones just
// beside them are reached without megabytes of input.
#include "core/binfile.h"
#include "core/binimage.h"
#include "fuzzsupport.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

using BinImage::RowOrganisation;
using FuzzSupport::check;

namespace {

int fileDescriptor = -1;
QString filePath;

QByteArray fileContents(const uint8_t *data, size_t size)
{
    if (size == 0)
        return QByteArray();
    const auto *rest = reinterpret_cast<const char *>(data + 1);
    const qsizetype restSize = qsizetype(size - 1);
    if (!(data[0] & 0x80))
        return QByteArray(rest, restSize);
    const int images = data[0] & 0x7F;
    const int delta = size > 1 ? int(data[1] % 3) - 1 : 0;
    const qsizetype length = qMax(0, (images % 67) * BinImage::ImageBytes + delta);
    QByteArray file(length, '\0');
    char *out = file.data();
    if (restSize > 0)
        for (qsizetype i = 0; i < length; ++i)
            out[i] = rest[i % restSize];
    return file;
}

bool putFile(const QByteArray &contents)
{
    if (ftruncate(fileDescriptor, 0) != 0)
        return false;
    qsizetype done = 0;
    while (done < contents.size()) {
        const ssize_t n = pwrite(fileDescriptor, contents.constData() + done,
                                 size_t(contents.size() - done), off_t(done));
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialise(argc, argv);
    // An anonymous in-memory file: a real path for QFile, no disk traffic.
    fileDescriptor = memfd_create("vexlor-fuzz-bin", 0);
    check(fileDescriptor >= 0, "memfd_create");
    filePath = QStringLiteral("/proc/self/fd/%1").arg(fileDescriptor);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file = fileContents(data, size);
    check(putFile(file), "writing the in-memory file");

    QByteArray contents("untouched");
    const FileAccess::Status status = BinFile::read(filePath, FileAccess::Streams::Refused, contents);
    const bool valid = file.size() <= BinImage::StoreBytes && file.size() % BinImage::ImageBytes == 0;
    check(BinFile::isValidLength(file.size()) == valid, "length rule");
    if (!valid) {
        check(status == FileAccess::Status::BadLength, "bad length refused as such");
        check(contents == "untouched", "refused file leaves the output alone");
        return 0;
    }
    check(status == FileAccess::Status::Ok, "valid file accepted");
    check(contents == file, "contents read in full and unchanged");

    const int images = int(contents.size() / BinImage::ImageBytes);
    const QRgb background = size > 2 ? qRgb(data[size - 1], data[size - 2], data[size - 3])
                                     : qRgb(255, 255, 255);
    const QByteArray lightOn = BinImage::greyValue(background) >= BinImage::DefaultThreshold
        ? QByteArray() : QByteArray(BinImage::ImageBytes, char(0xFF));
    for (int k = 0; k < images; ++k) {
        const auto *image = reinterpret_cast<const uchar *>(contents.constData()) + BinImage::ImageBytes * k;
        const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(image),
                                                         BinImage::ImageBytes);
        // Every image is rendered and dumped; the costlier read-backs are kept
        // to the first and the last, which is where offsets go wrong.
        const bool deep = k == 0 || k == images - 1;
        const QString hex = BinImage::hexText(image);
        check(hex.size() == 3135, "hex dump length");
        if (deep)
            check(hex.count(QLatin1Char('\n')) == 63 && QByteArray::fromHex(hex.toLatin1()) == bytes,
                  "hex dump holds the bytes, 16 to a line");
        for (const RowOrganisation organisation : {RowOrganisation::Row63, RowOrganisation::Row127}) {
            const QImage picture = BinImage::toPicture(image, background, organisation);
            check(picture.size() == QSize(BinImage::Width, BinImage::Height), "rendering is 128x64");
            // On a light background the rendering converts back to the same
            // bytes; on a dark one every pixel reads as on.
            if (deep)
                check(BinImage::fromPicture(picture, organisation)
                          == (lightOn.isEmpty() ? bytes : lightOn),
                      "render/convert round trip");
        }
        check(BinImage::listRowNumber(k).size() == 2, "list row number is two characters");
    }
    return 0;
}
