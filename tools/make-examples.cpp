// Draws the sample pictures of examples/ into the directory given as argument.
// Text uses a built-in 5x7 pixel font so the pictures come out identical on
// every machine, whatever fonts are installed.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <map>

namespace {

constexpr int Width = 128;
constexpr int Height = 64;

const std::map<char, const char *> &font()
{
    // Each glyph: 7 rows of 5 columns, '#' set.
    static const std::map<char, const char *> glyphs = {
        {'1', "..#...##....#....#....#....#...###."},
        {'2', ".###.#...#....#...#...#...#...#####"},
        {'4', "...#...##..#.#.#..#.#####...#....#."},
        {'6', "..##..#...#....####.#...##...#.###."},
        {'8', ".###.#...##...#.###.#...##...#.###."},
        {'C', ".###.#...##....#....#....#...#.###."},
        {'D', "####.#...##...##...##...##...#####."},
        {'E', "######....#....####.#....#....#####"},
        {'L', "#....#....#....#....#....#....#####"},
        {'O', ".###.#...##...##...##...##...#.###."},
        {'R', "####.#...##...#####.#.#..#..#.#...#"},
        {'V', "#...##...##...##...##...#.#.#...#.."},
        {'X', "#...##...#.#.#...#...#.#.#...##...#"},
        {'x', "..........#...#.#.#...#...#.#.#...#"},
    };
    return glyphs;
}

void drawText(QImage &picture, int left, int top, const char *text, int scale, QRgb colour)
{
    for (int x = left; *text; ++text, x += 6 * scale) {
        const auto glyph = font().find(*text);
        if (glyph == font().end())
            continue;
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 5; ++column)
                if (glyph->second[row * 5 + column] == '#')
                    for (int dy = 0; dy < scale; ++dy)
                        for (int dx = 0; dx < scale; ++dx)
                            picture.setPixel(x + column * scale + dx, top + row * scale + dy, colour);
    }
}

int textWidth(const char *text, int scale)
{
    return int(qstrlen(text)) * 6 * scale - scale;
}

QImage blank(QImage::Format format = QImage::Format_RGB32)
{
    QImage picture(Width, Height, format);
    picture.fill(Qt::white);
    return picture;
}

QImage testPattern()
{
    QImage picture = blank();
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, Width - 1, Height - 1);
    // Checkerboards of 1, 2 and 4 pixels show the page and column order.
    for (int size = 1, left = 3; size <= 4; size *= 2, left += 18)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (((x / size) + (y / size)) % 2 == 0)
                    picture.setPixel(left + x, 3 + y, qRgb(0, 0, 0));
    // Eight grey steps: with the default threshold only the darkest two are on.
    for (int step = 0; step < 8; ++step) {
        const int grey = step * 20;
        painter.fillRect(3 + step * 7, 22, 7, 8, QColor(grey, grey, grey));
    }
    painter.drawLine(60, 3, 124, 60);
    painter.drawLine(60, 60, 124, 3);
    painter.drawEllipse(QPoint(92, 32), 20, 20);
    // One marker per page edge, on the left, to check the bit order.
    for (int page = 0; page < 8; ++page)
        picture.setPixel(1, page * 8, qRgb(0, 0, 0));
    painter.end();
    drawText(picture, 3, 34, "128x64", 1, qRgb(0, 0, 0));
    drawText(picture, 3, 44, "LCD", 2, qRgb(0, 0, 0));
    return picture;
}

QImage textLine()
{
    QImage picture = blank();
    const char *title = "VEXLOR";
    drawText(picture, (Width - textWidth(title, 3)) / 2, 8, title, 3, qRgb(0, 0, 0));
    const char *subtitle = "128x64 LCD";
    drawText(picture, (Width - textWidth(subtitle, 1)) / 2, 44, subtitle, 1, qRgb(0, 0, 0));
    return picture;
}

// A chip with its pins; the background is transparent, which the conversion
// ignores: only the colour values count.
QImage logo()
{
    QImage picture(Width, Height, QImage::Format_ARGB32);
    picture.fill(qRgba(255, 255, 255, 0));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 20, 40));
    painter.drawRoundedRect(QRectF(34, 12, 60, 40), 4, 4);
    for (int pin = 0; pin < 6; ++pin) {
        painter.drawRect(QRectF(38 + pin * 10, 4, 4, 8));
        painter.drawRect(QRectF(38 + pin * 10, 52, 4, 8));
    }
    painter.setBrush(QColor(250, 250, 250));
    painter.drawEllipse(QPointF(41, 19), 3, 3);
    painter.end();
    drawText(picture, (Width - textWidth("VEX", 2)) / 2, 25, "VEX", 2, qRgb(255, 255, 255));
    return picture;
}

// Worth converting with --dither: every column a different grey.
QImage gradient()
{
    QImage picture(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const int grey = x * 255 / (Width - 1);
            const int shade = y < Height / 2 ? grey : 255 - grey;
            picture.setPixel(x, y, qRgb(shade, shade, shade));
        }
    return picture;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const struct
    {
        const char *name;
        QImage picture;
        const char *format;
    } outputs[] = {
        {"testpattern.bmp", testPattern(), "BMP"},
        {"text.png", textLine(), "PNG"},
        {"logo.png", logo(), "PNG"},
        {"gradient.png", gradient(), "PNG"},
    };
    for (const auto &output : outputs) {
        QImage picture = output.picture;
        picture.setDotsPerMeterX(3780);
        picture.setDotsPerMeterY(3780);
        if (!picture.save(dir.filePath(QLatin1String(output.name)), output.format)) {
            std::fprintf(stderr, "%s: cannot write\n", output.name);
            return 1;
        }
    }
    return 0;
}
