// The export generator with arbitrary delimiter texts, any bytes-per-line
// count and either line-end rule, compared with a plain reference that
// builds the text append by append.
//
// Input: 4 bytes bytes-per-line (any int), 1 byte flags (bit 0 assembler,
// bit 1 fields in UTF-16 instead of UTF-8, bits 2-3 a preset id 0..3 applied
// first, 3 meaning none), 1024 bytes of image (zero-padded), then the six
// fields separated by NUL characters.
#include "core/authorship.h"
#include "core/binimage.h"
#include "fuzzsupport.h"
#include "output/exportfields.h"
#include "output/exporttext.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstring>

using FuzzSupport::check;

namespace {

constexpr size_t HeaderBytes = 5;

QString reference(const ExportFields &f, int bytesPerLine, bool assembler, const uchar *image)
{
    const int n = qBound(1, bytesPerLine, 96);
    const auto x = [](const QString &s) { return QString(s).replace(QLatin1String("$tab"), QLatin1String("\t")); };
    const QString c = x(f.comment), lineStart = x(f.lineStart), prefix = x(f.hexPrefix),
                  separator = x(f.separator);
    QString text;
    text += c + QLatin1String("**********************************\n");
    text += c + QLatin1String("*     Exporte par Vexlor         *\n");
    text += c + Authorship::bannerLine() + QLatin1Char('\n');
    text += c + QLatin1String("**********************************\n\n");
    text += x(f.tableStart);
    for (int i = 0; i < BinImage::ImageBytes; ++i) {
        if (i % n == 0)
            text += QLatin1Char('\n') + lineStart;
        text += prefix + QString::number(image[i] | 0x100, 16).right(2).toUpper();
        if (i != BinImage::ImageBytes - 1 && (!assembler || (i + 1) % n != 0))
            text += separator;
    }
    text += QLatin1Char('\n') + x(f.tableEnd) + QLatin1String("\n\n");
    return text;
}

QStringList splitFields(const uint8_t *data, size_t size, bool utf16)
{
    QString all;
    if (utf16) {
        // Raw code units: unpaired surrogates and every other oddity included.
        QString units(qsizetype(size / 2), Qt::Uninitialized);
        for (size_t i = 0; i + 1 < size; i += 2)
            units[qsizetype(i / 2)] = QChar(char16_t(data[i] | (data[i + 1] << 8)));
        all = units;
    } else {
        all = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    }
    QStringList fields = all.split(QChar(0));
    while (fields.size() < 6)
        fields << QString();
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < HeaderBytes)
        return 0;
    int32_t bytesPerLine = 0;
    std::memcpy(&bytesPerLine, data, sizeof bytesPerLine);
    const uint8_t flags = data[4];
    const bool assembler = flags & 1;
    const bool utf16 = flags & 2;
    const int presetId = (flags >> 2) & 3;

    uchar image[BinImage::ImageBytes] = {};
    const size_t imageBytes = qMin(size - HeaderBytes, size_t(BinImage::ImageBytes));
    std::memcpy(image, data + HeaderBytes, imageBytes);
    const size_t fieldsAt = HeaderBytes + imageBytes;
    const QStringList t = splitFields(data + fieldsAt, size - fieldsAt, utf16);

    ExportFields fields{t[0], t[1], t[2], t[3], t[4], t[5]};
    const ExportFields typed = fields;
    const bool applied = ExportText::preset(presetId, fields);
    check(applied == (presetId <= 2), "presets exist for ids 0 to 2 only");
    if (!applied)
        check(fields.comment == typed.comment && fields.separator == typed.separator,
              "an unknown preset leaves the fields alone");

    const QString text = ExportText::generate(fields, bytesPerLine, assembler, image);
    check(text == reference(fields, bytesPerLine, assembler, image), "same text as the reference");

    // Only one way round: a field may not appear at all (no separator with
    // the assembler rule at one byte per line), so its wide characters don't either.
    if (ExportText::isLatin1(fields))
        check(ExportText::isLatin1(text), "tab expansion adds no wide characters");
    if (ExportText::isLatin1(text)) {
        const QByteArray encoded = ExportText::encode(text);
        check(encoded.size() == text.size() && QString::fromLatin1(encoded) == text,
              "one byte per character, decoding gives the text back");
    }
    return 0;
}
