#include "cli/terminalpicture.h"

#include <QImage>
#include <QString>

namespace Cli {

QString halfBlocks(const QImage &picture)
{
    // Colour index 0 is black, an on pixel; an odd last row has nothing below it.
    static const char16_t cells[4] = {u' ', u'\u2580', u'\u2584', u'\u2588'};
    const int width = picture.width();
    const int height = picture.height();
    QString text;
    text.reserve((width + 1) * (height + 1) / 2);
    for (int y = 0; y < height; y += 2) {
        const uchar *top = picture.constScanLine(y);
        const uchar *bottom = y + 1 < height ? picture.constScanLine(y + 1) : nullptr;
        for (int x = 0; x < width; ++x)
            text += QChar(cells[(top[x] == 0 ? 1 : 0) | (bottom && bottom[x] == 0 ? 2 : 0)]);
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace Cli
