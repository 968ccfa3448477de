#include "core/picturepreparation.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

namespace PicturePreparation {

namespace {

constexpr QRgb On = 0xFF000000u;
constexpr QRgb Off = 0xFFFFFFFFu;

// Colour values as they stand, alpha dropped: a transparent pixel counts by
// its colour, as in BinImage::fromPicture.
QImage opaque(const QImage &picture)
{
    // Already opaque: a copy would double the memory a large photo takes.
    if (picture.format() == QImage::Format_RGB32)
        return picture;
    QImage rgb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(rgb.scanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            line[x] |= 0xFF000000u;
    }
    rgb.reinterpretAsFormat(QImage::Format_RGB32);
    return rgb;
}

struct Spread
{
    int dx;
    int dy;
    float weight;
};

template <size_t N>
QImage diffuse(const QImage &rgb, const Spread (&kernel)[N], int threshold)
{
    const int w = rgb.width();
    const int h = rgb.height();
    std::vector<float> grey(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x)
            grey[size_t(y) * w + x] = float(BinImage::greyValue(line[x]));
    }
    QImage result(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const float value = grey[size_t(y) * w + x];
            const bool on = value < float(threshold);
            out[x] = on ? On : Off;
            const float error = value - (on ? 0.0f : 255.0f);
            for (const Spread &s : kernel) {
                const int nx = x + s.dx;
                const int ny = y + s.dy;
                if (nx >= 0 && nx < w && ny < h)
                    grey[size_t(ny) * w + nx] += error * s.weight;
            }
        }
    }
    return result;
}

QImage ordered(const QImage &rgb, int threshold)
{
    static const int bayer[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},   {48, 16, 56, 24, 50, 18, 58, 26},
        {12, 44, 4, 36, 14, 46, 6, 38},  {60, 28, 52, 20, 62, 30, 54, 22},
        {3, 35, 11, 43, 1, 33, 9, 41},   {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21},
    };
    // Levels 2, 6, ..., 254 around the middle, moved with the threshold.
    const int shift = threshold - DitherThreshold;
    QImage result(rgb.width(), rgb.height(), QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const int level = 4 * bayer[y % 8][x % 8] + 2 + shift;
            out[x] = BinImage::greyValue(in[x]) < level ? On : Off;
        }
    }
    return result;
}

} // namespace

const QList<Named<Dither>> &ditherNames()
{
    static const QList<Named<Dither>> names = {
        {"none", Dither::None},
        {"floyd-steinberg", Dither::FloydSteinberg},
        {"atkinson", Dither::Atkinson},
        {"bayer", Dither::Bayer},
    };
    return names;
}

const QList<Named<Alpha>> &alphaNames()
{
    static const QList<Named<Alpha>> names = {
        {"white", Alpha::White},
        {"ignore", Alpha::Ignore},
        {"black", Alpha::Black},
    };
    return names;
}

bool hasTransparency(const QImage &picture)
{
    if (!picture.hasAlphaChannel())
        return false;
    if (picture.format() != QImage::Format_ARGB32
        && picture.format() != QImage::Format_ARGB32_Premultiplied)
        return hasTransparency(picture.convertToFormat(QImage::Format_ARGB32));
    for (int y = 0; y < picture.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return true;
    }
    return false;
}

void composite(QImage &picture, Alpha alpha)
{
    if (!picture.hasAlphaChannel())
        return;
    picture.convertTo(QImage::Format_ARGB32);
    const int background = alpha == Alpha::Black ? 0 : 255;
    for (int y = 0; y < picture.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = line[x];
            const int a = qAlpha(pixel);
            if (alpha == Alpha::Ignore || a == 255) {
                line[x] = pixel | 0xFF000000u;
                continue;
            }
            const auto mix = [&](int value) { return (value * a + background * (255 - a) + 127) / 255; };
            line[x] = qRgb(mix(qRed(pixel)), mix(qGreen(pixel)), mix(qBlue(pixel)));
        }
    }
    picture.reinterpretAsFormat(QImage::Format_RGB32);
}

const QList<Named<FitMode>> &fitModeNames()
{
    static const QList<Named<FitMode>> names = {
        {"contain", FitMode::Contain},
        {"cover", FitMode::Cover},
        {"stretch", FitMode::Stretch},
    };
    return names;
}

QSize fittedSize(const QSize &size, const QSize &target, FitMode mode)
{
    if (mode == FitMode::Stretch || size.isEmpty())
        return target;
    const Qt::AspectRatioMode aspect = mode == FitMode::Cover ? Qt::KeepAspectRatioByExpanding
                                                              : Qt::KeepAspectRatio;
    return size.scaled(target, aspect).expandedTo(QSize(1, 1));
}

QImage fitted(const QImage &picture, const QSize &target, FitMode mode)
{
    QImage canvas(target, QImage::Format_RGB32);
    canvas.fill(Off);
    if (picture.isNull())
        return canvas;
    const QSize size = fittedSize(picture.size(), target, mode);
    const QImage scaled = opaque(picture).scaled(size, Qt::IgnoreAspectRatio,
                                                 Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_RGB32);
    // Negative offsets crop a covering picture to its centre.
    const QPoint offset((target.width() - size.width()) / 2,
                        (target.height() - size.height()) / 2);
    const QRect shown = QRect(offset, size).intersected(canvas.rect());
    for (int y = shown.top(); y <= shown.bottom(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(scaled.constScanLine(y - offset.y()))
            + (shown.left() - offset.x());
        auto *out = reinterpret_cast<QRgb *>(canvas.scanLine(y)) + shown.left();
        std::copy_n(in, shown.width(), out);
    }
    return canvas;
}

QImage dithered(const QImage &picture, Dither method, int threshold)
{
    static const Spread floydSteinberg[] = {
        {1, 0, 7 / 16.0f}, {-1, 1, 3 / 16.0f}, {0, 1, 5 / 16.0f}, {1, 1, 1 / 16.0f}};
    // Spreads only three quarters of the error: contrast over smoothness.
    static const Spread atkinson[] = {{1, 0, 1 / 8.0f},  {2, 0, 1 / 8.0f}, {-1, 1, 1 / 8.0f},
                                      {0, 1, 1 / 8.0f},  {1, 1, 1 / 8.0f}, {0, 2, 1 / 8.0f}};
    const QImage rgb = opaque(picture);
    switch (method) {
    case Dither::FloydSteinberg:
        return diffuse(rgb, floydSteinberg, threshold);
    case Dither::Atkinson:
        return diffuse(rgb, atkinson, threshold);
    case Dither::Bayer:
        return ordered(rgb, threshold);
    case Dither::None:
        break;
    }
    QImage result(rgb.size(), QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            out[x] = BinImage::greyValue(in[x]) < threshold ? On : Off;
    }
    return result;
}

BinaryImage convert(const QImage &picture, const DisplayLayout &layout, const Options &options)
{
    QImage upright = PictureTransform::oriented(picture, options.orientation);
    if (options.alpha != Alpha::Ignore)
        composite(upright, options.alpha);
    const bool fit = options.fit && upright.size() != layout.size();
    const QImage source = fit ? fitted(upright, layout.size(), options.fitMode) : upright;
    BinaryImage image = options.dither == Dither::None
        ? BinImage::fromPicture(source, layout, options.threshold)
        : BinImage::fromPicture(dithered(source, options.dither, options.threshold), layout,
                                DitherThreshold);
    if (options.invert)
        image.invert();
    return image;
}

QSize decodingSize(const QSize &size, const QSize &target, const Options &options)
{
    const QSize upright = PictureTransform::orientedSize(size, options.orientation);
    if (!options.fit || upright == target)
        return size;
    return PictureTransform::orientedSize(fittedSize(upright, target, options.fitMode),
                                          options.orientation);
}

QByteArray convert(const QImage &picture, BinImage::RowOrganisation organisation,
                   const Options &options)
{
    return convert(picture, BinImage::layout(organisation), options).bytes();
}

} // namespace PicturePreparation
