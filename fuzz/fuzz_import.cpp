// The importer on arbitrary text, and the round trip of arbitrary images
// through every language of the firmware source: what export writes, import
// reads back byte for byte.
//
// Input: 1 byte flags. Bit 0 set: the rest is text to read, as import reads
// any file. Bit 0 clear: bits 1-3 a language (modulo 6), bit 4 frames; then
// 1 byte bytes-per-line; then up to 512 image bytes, one page of that many
// columns.
#include "core/displaylayout.h"
#include "fuzzsupport.h"
#include "output/sourceimport.h"
#include "output/sourcetext.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

using FuzzSupport::check;

namespace {

void readAnyText(const QByteArray &text)
{
    const SourceImport::Result result = SourceImport::tables(text);
    for (const SourceImport::Table &table : result.tables)
        check(!table.bytes.isEmpty(), "a table holds bytes");
    if (SourceImport::isIntelHex(text)) {
        const SourceImport::IntelHexData hex = SourceImport::readIntelHex(text);
        check(hex.fault == SourceImport::IntelHexData::Fault::None || hex.data.isEmpty(),
              "refused Intel HEX gives no data");
    }
}

void roundTrip(uchar flags, int bytesPerLine, const QByteArray &image)
{
    const auto language = SourceText::Language(((flags >> 1) & 7) % 6);
    const DisplayLayout layout{int(image.size()), 8, DisplayLayout::Orientation::Vertical,
                               DisplayLayout::BitOrder::Lsb, 1};
    SourceText::Options options;
    options.frames = flags & 0x10;
    options.bytesPerLine = qBound(1, bytesPerLine, 96);
    const QList<QByteArray> images = options.frames ? QList<QByteArray>{image, image}
                                                    : QList<QByteArray>{image};
    const QString text = SourceText::source(language, SourceText::fields(language), options,
                                            layout, images);
    const SourceImport::Result result = SourceImport::tables(text.toLatin1());
    check(!result.notAByte, "export's own text holds bytes only");
    QByteArray read;
    for (const SourceImport::Table &table : result.tables)
        if (table.bytes.size() == image.size())
            read += table.bytes;
    check(read == images.join(), "import reads back what export wrote");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const auto *bytes = reinterpret_cast<const char *>(data);
    if (data[0] & 1) {
        readAnyText(QByteArray(bytes + 1, qsizetype(size - 1)));
        return 0;
    }
    if (size < 3 || size > 2 + 512)
        return 0;
    roundTrip(data[0], data[1], QByteArray(bytes + 2, qsizetype(size - 2)));
    return 0;
}
