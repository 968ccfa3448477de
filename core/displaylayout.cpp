#include "core/displaylayout.h"

#include <QRegularExpression>

DisplayLayout DisplayLayout::row63()
{
    return DisplayLayout{128, 64, Orientation::Vertical, BitOrder::Lsb, 2};
}

DisplayLayout DisplayLayout::row127()
{
    return DisplayLayout{128, 64, Orientation::Vertical, BitOrder::Lsb, 1};
}

QString DisplayLayout::problem() const
{
    if (width < 1 || width > MaxSide || height < 1 || height > MaxSide)
        return QStringLiteral("a display is 1 to %1 pixels wide and high, not %2x%3")
            .arg(MaxSide)
            .arg(width)
            .arg(height);
    if (controllers < 1)
        return QStringLiteral("a display has at least one controller, not %1").arg(controllers);
    if (orientation == Orientation::Horizontal && controllers != 1)
        return QStringLiteral("controllers split the columns of the vertical layout only; the "
                              "horizontal layout stores whole rows");
    if (width % controllers != 0)
        return QStringLiteral("%1 columns do not split into %2 equal blocks")
            .arg(width)
            .arg(controllers);
    return QString();
}

int DisplayLayout::imageBytes() const
{
    return orientation == Orientation::Vertical ? pages() * width : bytesPerRow() * height;
}

int DisplayLayout::byteOffset(int x, int y) const
{
    if (orientation == Orientation::Horizontal)
        return y * bytesPerRow() + x / 8;
    const int block = blockWidth();
    return (x / block) * pages() * block + (y / 8) * block + x % block;
}

uchar DisplayLayout::bitMask(int x, int y) const
{
    const int bit = (orientation == Orientation::Vertical ? y : x) % 8;
    return bitOrder == BitOrder::Lsb ? uchar(1u << bit) : uchar(0x80u >> bit);
}

DisplayLayout::BitOrder DisplayLayout::defaultBitOrder(Orientation orientation)
{
    return orientation == Orientation::Vertical ? BitOrder::Lsb : BitOrder::Msb;
}

const QList<Named<DisplayLayout::Orientation>> &DisplayLayout::orientationNames()
{
    static const QList<Named<Orientation>> names = {{"vertical", Orientation::Vertical},
                                                    {"horizontal", Orientation::Horizontal}};
    return names;
}

const QList<Named<DisplayLayout::BitOrder>> &DisplayLayout::bitOrderNames()
{
    static const QList<Named<BitOrder>> names = {{"lsb", BitOrder::Lsb}, {"msb", BitOrder::Msb}};
    return names;
}

QString DisplayLayout::orientationName(Orientation orientation)
{
    return QLatin1String(orientationNames().at(orientation == Orientation::Vertical ? 0 : 1).name);
}

QString DisplayLayout::bitOrderName(BitOrder order)
{
    return QLatin1String(bitOrderNames().at(order == BitOrder::Lsb ? 0 : 1).name);
}

bool DisplayLayout::sizeFromText(const QString &text, QSize &size)
{
    // Digits only: toInt() would also take signs, spaces and "0x" prefixes.
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,4})x([0-9]{1,4})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const int w = match.captured(1).toInt();
    const int h = match.captured(2).toInt();
    if (w < 1 || w > MaxSide || h < 1 || h > MaxSide)
        return false;
    size = QSize(w, h);
    return true;
}

QString DisplayLayout::arrangement() const
{
    const bool vertical = orientation == Orientation::Vertical;
    QString text = QStringLiteral("%1, bit %2 %3")
                       .arg(orientationName(orientation))
                       .arg(bitOrder == BitOrder::Lsb ? 0 : 7)
                       .arg(vertical ? QStringLiteral("top") : QStringLiteral("leftmost"));
    if (vertical && controllers > 1)
        text += QStringLiteral(", %1 controllers of %2 columns").arg(controllers).arg(blockWidth());
    return text;
}

QString DisplayLayout::description() const
{
    return QStringLiteral("%1x%2 ").arg(width).arg(height) + arrangement();
}

bool DisplayLayout::operator==(const DisplayLayout &other) const
{
    return width == other.width && height == other.height && orientation == other.orientation
        && bitOrder == other.bitOrder && controllers == other.controllers;
}
