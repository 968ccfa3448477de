#pragma once

#include <QImage>
#include <QSize>

// The reference that pictures reduced while decoding are held to, for the
// tests and the fuzz targets.
namespace AreaAverage {

// Each pixel the average of the area it covers, transparent ones weighing
// by their opacity, worked out the slow way with fractions.
inline QImage areaAverage(const QImage &picture, QSize size)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    const double scaleX = double(argb.width()) / size.width();
    const double scaleY = double(argb.height()) / size.height();
    const auto overlap = [](double start, double end, int pixel) {
        return qMax(0.0, qMin(end, pixel + 1.0) - qMax(start, double(pixel)));
    };
    QImage result(size, QImage::Format_ARGB32);
    for (int j = 0; j < size.height(); ++j)
        for (int i = 0; i < size.width(); ++i) {
            // Weighed by opacity, and, for where all is transparent, as they stand.
            double weighted[3] = {}, plain[3] = {}, weights = 0, opacity = 0;
            const int bottom = qMin(argb.height(), int((j + 1) * scaleY) + 1);
            const int right = qMin(argb.width(), int((i + 1) * scaleX) + 1);
            for (int y = int(j * scaleY); y < bottom; ++y)
                for (int x = int(i * scaleX); x < right; ++x) {
                    const double w = overlap(i * scaleX, (i + 1) * scaleX, x)
                        * overlap(j * scaleY, (j + 1) * scaleY, y);
                    const QRgb p = argb.pixel(x, y);
                    const int channels[] = {qRed(p), qGreen(p), qBlue(p)};
                    for (int c = 0; c < 3; ++c) {
                        weighted[c] += w * qAlpha(p) * channels[c];
                        plain[c] += w * channels[c];
                    }
                    opacity += w * qAlpha(p);
                    weights += w;
                }
            const auto mean = [&](int c) {
                return qRound(opacity > 0 ? weighted[c] / opacity : plain[c] / weights);
            };
            result.setPixel(i, j, qRgba(mean(0), mean(1), mean(2), qRound(opacity / weights)));
        }
    return result;
}

inline int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (const int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q),
                                qAlpha(p) - qAlpha(q)})
                largest = qMax(largest, qAbs(d));
        }
    return largest;
}

} // namespace AreaAverage
