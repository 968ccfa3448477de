#include "output/exporttext.h"

#include "core/authorship.h"
#include "core/binimage.h"
#include "output/exportfields.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace ExportText {

namespace {

const QLatin1String TabEscape("$tab");
const QLatin1String Stars("**********************************\n");
const QLatin1String Title("*     Exporte par Vexlor         *\n");

QChar *put(QChar *out, const QString &text)
{
    const qsizetype n = text.size();
    std::copy_n(text.constData(), n, out);
    return out + n;
}

QChar *put(QChar *out, QLatin1String text)
{
    for (const char c : text)
        *out++ = QLatin1Char(c);
    return out;
}

// The fields with "$tab" expanded, once for the whole text.
struct Expanded
{
    explicit Expanded(const ExportFields &fields)
        : comment(expandTabs(fields.comment)), tableStart(expandTabs(fields.tableStart)),
          tableEnd(expandTabs(fields.tableEnd)), lineStart(expandTabs(fields.lineStart)),
          hexPrefix(expandTabs(fields.hexPrefix)), separator(expandTabs(fields.separator))
    {
    }
    QString comment, tableStart, tableEnd, lineStart, hexPrefix, separator;
};

// Written through a pointer into a buffer of the exact final size: a
// thousand small appends with their capacity checks dominate otherwise.
class Writer
{
public:
    Writer(const Expanded &fields, int bytesPerLine, bool assembler)
        : f(fields), n(qBound(MinBytesPerLine, bytesPerLine, MaxBytesPerLine)),
          assembler(assembler)
    {
    }

    qsizetype bannerLength() const
    {
        return 4 * f.comment.size() + 2 * Stars.size() + Title.size()
            + Authorship::bannerLine().size() + 2;
    }

    QChar *banner(QChar *out) const
    {
        out = put(put(out, f.comment), Stars);
        out = put(put(out, f.comment), Title);
        out = put(put(out, f.comment), Authorship::bannerLine());
        *out++ = QLatin1Char('\n');
        out = put(put(out, f.comment), Stars);
        *out++ = QLatin1Char('\n');
        return out;
    }

    qsizetype tableLength(const QString &start, qsizetype bytes) const
    {
        if (bytes == 0)
            return start.size() + 1 + f.tableEnd.size() + 2;
        const qsizetype lines = (bytes + n - 1) / n;
        const qsizetype separators = assembler ? bytes - lines : bytes - 1;
        return start.size() + lines * (1 + f.lineStart.size())
            + bytes * (f.hexPrefix.size() + 2) + separators * f.separator.size() + 1
            + f.tableEnd.size() + 2;
    }

    QChar *table(QChar *out, const QString &start, const uchar *image, qsizetype bytes) const
    {
        static const char digits[] = "0123456789ABCDEF";
        out = put(out, start);
        for (qsizetype i = 0; i < bytes; ++i) {
            const qsizetype column = i % n;
            if (column == 0) {
                *out++ = QLatin1Char('\n');
                out = put(out, f.lineStart);
            }
            out = put(out, f.hexPrefix);
            *out++ = QLatin1Char(digits[image[i] >> 4]);
            *out++ = QLatin1Char(digits[image[i] & 0xF]);
            if (i != bytes - 1 && !(assembler && column == n - 1))
                out = put(out, f.separator);
        }
        *out++ = QLatin1Char('\n');
        out = put(out, f.tableEnd);
        *out++ = QLatin1Char('\n');
        *out++ = QLatin1Char('\n');
        return out;
    }

private:
    const Expanded &f;
    const int n;
    const bool assembler;
};

const uchar *bytesOf(const QByteArray &image)
{
    return reinterpret_cast<const uchar *>(image.constData());
}

QString tableName(int k)
{
    return QStringLiteral("image%1").arg(k);
}

// One name per line, so that a long file stays readable.
QString pointerArray(const Expanded &fields, qsizetype count)
{
    QString text = QStringLiteral("const unsigned char *const images[%1] = {").arg(count);
    for (int k = 0; k < count; ++k)
        text += QLatin1Char('\n') + fields.lineStart + tableName(k)
            + (k + 1 < count ? QStringLiteral(",") : QString());
    return text + QStringLiteral("\n};\n");
}

} // namespace

bool preset(int id, ExportFields &fields, int imageBytes, const QString &name)
{
    static const char *const table[3][6] = {
        {"; ", "%1:", "", "dt $tab", "0x", ", "},
        {"// ", "const unsigned char %1[%2] = {", "};", "$tab", "0x", ", "},
        {"' ", "Dim %1()=", "", "$tab$tab", "&H", ", "},
    };
    if (id < Assembler || id > Custom)
        return false;
    const char *const *row = table[id];
    QString start = QString::fromLatin1(row[1]).arg(name);
    if (id == C)
        start = start.arg(imageBytes);
    fields.comment = QString::fromLatin1(row[0]);
    fields.tableStart = start;
    fields.tableEnd = QString::fromLatin1(row[2]);
    fields.lineStart = QString::fromLatin1(row[3]);
    fields.hexPrefix = QString::fromLatin1(row[4]);
    fields.separator = QString::fromLatin1(row[5]);
    return true;
}

QString expandTabs(const QString &text)
{
    QString result = text;
    result.replace(TabEscape, QStringLiteral("\t"), Qt::CaseSensitive);
    return result;
}

QString generate(const ExportFields &fields, int bytesPerLine, bool assembler,
                 const QByteArray &image)
{
    const Expanded f(fields);
    const Writer writer(f, bytesPerLine, assembler);
    QString text(writer.bannerLength() + writer.tableLength(f.tableStart, image.size()),
                 Qt::Uninitialized);
    QChar *out = writer.banner(text.data());
    out = writer.table(out, f.tableStart, bytesOf(image), image.size());
    Q_ASSERT(out == text.constData() + text.size());
    return text;
}

QString generate(const ExportFields &fields, int bytesPerLine, bool assembler,
                 const uchar *image)
{
    return generate(fields, bytesPerLine, assembler,
                    QByteArray::fromRawData(reinterpret_cast<const char *>(image),
                                            BinImage::ImageBytes));
}

QString generateAll(int id, const ExportFields &fields, int bytesPerLine,
                    const QList<QByteArray> &images)
{
    const Expanded f(fields);
    const Writer writer(f, bytesPerLine, id == Assembler);
    QStringList starts;
    qsizetype length = writer.bannerLength();
    for (int k = 0; k < images.size(); ++k) {
        ExportFields named;
        preset(id, named, int(images[k].size()), tableName(k));
        starts << expandTabs(named.tableStart);
        length += writer.tableLength(starts.last(), images[k].size());
    }
    QString text(length, Qt::Uninitialized);
    QChar *out = writer.banner(text.data());
    for (int k = 0; k < images.size(); ++k)
        out = writer.table(out, starts[k], bytesOf(images[k]), images[k].size());
    Q_ASSERT(out == text.constData() + text.size());
    if (id == C)
        text += pointerArray(f, images.size());
    return text;
}

QString banner(const ExportFields &fields)
{
    const Expanded f(fields);
    const Writer writer(f, DefaultBytesPerLine, false);
    QString text(writer.bannerLength(), Qt::Uninitialized);
    writer.banner(text.data());
    return text;
}

QString table(const ExportFields &fields, int bytesPerLine, bool assembler,
              const QByteArray &image)
{
    const Expanded f(fields);
    const Writer writer(f, bytesPerLine, assembler);
    QString text(writer.tableLength(f.tableStart, image.size()), Qt::Uninitialized);
    writer.table(text.data(), f.tableStart, bytesOf(image), image.size());
    return text;
}

bool isLatin1(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

bool isLatin1(const ExportFields &fields)
{
    return isLatin1(fields.comment) && isLatin1(fields.tableStart) && isLatin1(fields.tableEnd)
        && isLatin1(fields.lineStart) && isLatin1(fields.hexPrefix) && isLatin1(fields.separator);
}

QByteArray encode(const QString &text)
{
    return text.toLatin1();
}

} // namespace ExportText
