#include "output/exporttext.h"

#include "core/authorship.h"
#include "core/binimage.h"
#include "output/exportfields.h"

#include <QByteArray>
#include <QString>

namespace ExportText {

namespace {

const QLatin1String TabEscape("$tab");

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

} // namespace

bool preset(int id, ExportFields &fields)
{
    static const char *const table[3][6] = {
        {"; ", "image:", "", "dt $tab", "0x", ", "},
        {"// ", "const unsigned char image[1024] = {", "};", "$tab", "0x", ", "},
        {"' ", "Dim image()=", "", "$tab$tab", "&H", ", "},
    };
    if (id < Assembler || id > Custom)
        return false;
    const char *const *row = table[id];
    fields.comment = QString::fromLatin1(row[0]);
    fields.tableStart = QString::fromLatin1(row[1]);
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
                 const uchar *image)
{
    static const char digits[] = "0123456789ABCDEF";
    constexpr int Bytes = BinImage::ImageBytes;
    const int n = qBound(MinBytesPerLine, bytesPerLine, MaxBytesPerLine);

    const QString comment = expandTabs(fields.comment);
    const QString tableStart = expandTabs(fields.tableStart);
    const QString tableEnd = expandTabs(fields.tableEnd);
    const QString lineStart = expandTabs(fields.lineStart);
    const QString hexPrefix = expandTabs(fields.hexPrefix);
    const QString separator = expandTabs(fields.separator);

    const QLatin1String stars("**********************************\n");
    const QLatin1String title("*     Exporte par Vexlor         *\n");
    const QString author = Authorship::bannerLine();

    const int lines = (Bytes + n - 1) / n;
    const int separators = assembler ? Bytes - lines : Bytes - 1;
    const qsizetype length = 4 * comment.size() + 2 * stars.size() + title.size()
        + author.size() + 2 + tableStart.size()
        + qsizetype(lines) * (1 + lineStart.size())
        + qsizetype(Bytes) * (hexPrefix.size() + 2)
        + qsizetype(separators) * separator.size() + 1 + tableEnd.size() + 2;

    // Written through a pointer into a buffer of the exact final size: a
    // thousand small appends with their capacity checks dominate otherwise.
    QString text(length, Qt::Uninitialized);
    QChar *out = text.data();
    out = put(put(out, comment), stars);
    out = put(put(out, comment), title);
    out = put(put(out, comment), author);
    *out++ = QLatin1Char('\n');
    out = put(put(out, comment), stars);
    *out++ = QLatin1Char('\n');
    out = put(out, tableStart);

    for (int i = 0; i < Bytes; ++i) {
        const int column = i % n;
        if (column == 0) {
            *out++ = QLatin1Char('\n');
            out = put(out, lineStart);
        }
        out = put(out, hexPrefix);
        *out++ = QLatin1Char(digits[image[i] >> 4]);
        *out++ = QLatin1Char(digits[image[i] & 0xF]);
        if (i != Bytes - 1 && !(assembler && column == n - 1))
            out = put(out, separator);
    }

    *out++ = QLatin1Char('\n');
    out = put(out, tableEnd);
    *out++ = QLatin1Char('\n');
    *out++ = QLatin1Char('\n');
    Q_ASSERT(out == text.constData() + length);
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
