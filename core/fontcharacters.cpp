#include "core/fontcharacters.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QStringConverter>
#include <QStringList>

#include <algorithm>
#include <set>

namespace FontCharacters {

namespace {

const QString Number = QStringLiteral("(?:[0-9]{1,7}|0[xX][0-9A-Fa-f]{1,6}|[Uu]\\+[0-9A-Fa-f]{1,6})");

// A code alone only with U+, so that "65" stays the two characters it reads.
const QString Item = QStringLiteral("(?:%1-%1|[Uu]\\+[0-9A-Fa-f]{1,6})").arg(Number);

bool isSurrogate(char32_t code)
{
    return code >= 0xD800 && code <= 0xDFFF;
}

qint64 numberValue(const QString &text)
{
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("u+"), Qt::CaseInsensitive))
        return text.mid(2).toLongLong(nullptr, 16);
    return text.toLongLong();
}

QList<char32_t> sortedDistinct(QList<char32_t> codes)
{
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    return codes;
}

QString parseItem(const QString &item, QList<char32_t> &codes)
{
    const qsizetype dash = item.indexOf(QLatin1Char('-'));
    const qint64 first = numberValue(dash < 0 ? item : item.left(dash));
    const qint64 last = dash < 0 ? first : numberValue(item.mid(dash + 1));
    if (first > MaxCode || last > MaxCode)
        return QStringLiteral("'%1' goes past U+10FFFF, the last Unicode character").arg(item);
    if (last < first)
        return QStringLiteral("'%1' ends before it starts").arg(item);
    if (last - first >= MaxSpan)
        return QStringLiteral("'%1' holds more than %2 characters").arg(item).arg(MaxSpan);
    for (qint64 code = first; code <= last; ++code)
        if (!isSurrogate(char32_t(code)))
            codes << char32_t(code);
    return QString();
}

} // namespace

bool isControl(char32_t code)
{
    return code < 0x20 || (code >= 0x7F && code < 0xA0) || code == 0xFEFF;
}

QString parse(const QString &text, QList<char32_t> &codes)
{
    if (text.isEmpty())
        return QStringLiteral("no characters");
    static const QRegularExpression list(QStringLiteral("^%1(?:,%1)*$").arg(Item));
    QList<char32_t> result;
    if (list.match(text).hasMatch()) {
        for (const QString &item : text.split(QLatin1Char(',')))
            if (const QString problem = parseItem(item, result); !problem.isEmpty())
                return problem;
    } else {
        for (const char32_t code : text.toUcs4())
            result << code;
    }
    codes = sortedDistinct(result);
    return QString();
}

bool fromText(const QByteArray &utf8, QList<char32_t> &codes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(utf8);
    if (decoder.hasError())
        return false;
    std::set<char32_t> used;
    for (const char32_t code : text.toUcs4())
        if (!isControl(code))
            used.insert(code);
    codes = QList<char32_t>(used.begin(), used.end());
    return true;
}

QList<char32_t> merged(const QList<char32_t> &a, const QList<char32_t> &b)
{
    return sortedDistinct(a + b);
}

QString name(char32_t code)
{
    return QStringLiteral("U+%1").arg(uint(code), code > 0xFFFF ? 5 : 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace FontCharacters
