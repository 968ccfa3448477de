#include "output/fontsourceinfo.h"

#include "core/fontcharacters.h"

#include <QByteArray>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Source text is short ASCII: anything with a NUL byte or past this is not.
constexpr qsizetype MaxTextBytes = 32 * 1024 * 1024;

int number(const QString &text)
{
    const QString trimmed = text.trimmed();
    return trimmed.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
        ? trimmed.mid(2).toInt(nullptr, 16)
        : trimmed.toInt();
}

// A C #define or a Python assignment of NAME_KEY to a whole number.
bool constant(const QString &text, const QString &name, const char *key, int &value)
{
    const QRegularExpression pattern(
        QStringLiteral("^\\s*(?:#define\\s+%1_%2\\s+|%1_%2\\s*=\\s*)(\\d+)\\b")
            .arg(QRegularExpression::escape(name), QLatin1String(key)),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pattern.match(text);
    if (match.hasMatch())
        value = match.captured(1).toInt();
    return match.hasMatch();
}

bool readCells(const QString &text, FontSourceInfo &info)
{
    static const QRegularExpression first(
        QStringLiteral("^\\s*(?:#define\\s+(\\w+)_FIRST\\s|(\\w+)_FIRST\\s*=)"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = first.match(text);
    if (!match.hasMatch())
        return false;
    info.name = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
    int width = 0;
    int height = 0;
    if (!constant(text, info.name, "FIRST", info.first) || !constant(text, info.name, "LAST", info.last)
        || !constant(text, info.name, "WIDTH", width) || !constant(text, info.name, "HEIGHT", height)
        || !constant(text, info.name, "GLYPH_BYTES", info.glyphBytes) || info.last < info.first)
        return false;
    info.kind = FontSourceInfo::Kind::Cells;
    info.size = QSize(width, height);
    info.glyphs = info.last - info.first + 1;
    info.proportional = text.contains(info.name + QStringLiteral("_widths"))
        || text.contains(info.name + QStringLiteral("_WIDTHS"));
    return true;
}

bool readGfx(const QString &text, FontSourceInfo &info)
{
    static const QRegularExpression font(QStringLiteral(
        "\\bGFXfont\\s+(\\w+)[^=;]*=\\s*\\{[^,}]*,[^,}]*,\\s*(\\w+)\\s*,\\s*(\\w+)\\s*,\\s*(\\w+)"
        "\\s*,?\\s*\\}"));
    static const QRegularExpression glyph(QStringLiteral(
        "\\{\\s*(?:0[xX][0-9A-Fa-f]+|\\d+)\\s*,\\s*(\\d+)\\s*,\\s*(\\d+)\\s*,\\s*\\d+\\s*,"
        "\\s*-?\\d+\\s*,\\s*-?\\d+\\s*\\}"));
    const QRegularExpressionMatch match = font.match(text);
    if (!match.hasMatch())
        return false;
    info.kind = FontSourceInfo::Kind::Gfx;
    info.name = match.captured(1);
    info.first = number(match.captured(2));
    info.last = number(match.captured(3));
    info.yAdvance = number(match.captured(4));
    int width = 0;
    int height = 0;
    for (auto it = glyph.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch record = it.next();
        ++info.glyphs;
        width = std::max(width, record.captured(1).toInt());
        height = std::max(height, record.captured(2).toInt());
    }
    info.size = QSize(width, height);
    return true;
}

} // namespace

FontSourceInfo FontSourceInfo::read(const QByteArray &bytes)
{
    FontSourceInfo info;
    // Pictures and binary files end here, before any pattern is tried on them.
    if (bytes.size() > MaxTextBytes || bytes.contains('\0')
        || !(bytes.contains("GFXfont") || bytes.contains("_FIRST")))
        return info;
    const QString text = QString::fromLatin1(bytes);
    if (!readGfx(text, info) && !readCells(text, info))
        info = FontSourceInfo();
    return info;
}

QString FontSourceInfo::description() const
{
    const QString range = QStringLiteral("%1 glyphs from %2 to %3")
                              .arg(glyphs)
                              .arg(FontCharacters::name(char32_t(first)),
                                   FontCharacters::name(char32_t(last)));
    if (kind == Kind::Gfx)
        return QStringLiteral("Adafruit GFX font '%1', %2, boxes up to %3x%4 pixels, %5 pixels a "
                              "line")
            .arg(name, range)
            .arg(size.width())
            .arg(size.height())
            .arg(yAdvance);
    return QStringLiteral("fixed-cell font '%1', %2, cells of %3x%4 pixels, %5 bytes each%6")
        .arg(name, range)
        .arg(size.width())
        .arg(size.height())
        .arg(glyphBytes)
        .arg(proportional ? QStringLiteral(", a width per glyph") : QString());
}
