#include "core/picturefile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {

// A photo-like picture barely compresses, a drawing in two colours does.
QByteArray samplePng(bool photo)
{
    QImage picture(128, 64, photo ? QImage::Format_RGB32 : QImage::Format_Mono);
    if (photo) {
        QRandomGenerator random(7);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x * 2 + random.bounded(40), y * 3 + random.bounded(40),
                                            random.bounded(256)));
    } else {
        picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, (x / 8 + y / 8) % 2);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "png");
    return buffer.data();
}

// Range 0: the toolkit's reader alone; 1: the file layer, which reads these
// pictures itself. Range 1 of the second argument: the photo-like picture.
void BM_DecodePng(benchmark::State &state)
{
    const QByteArray data = samplePng(state.range(1) != 0);
    for (auto _ : state) {
        QImage picture;
        if (state.range(0) == 0) {
            QBuffer buffer;
            buffer.setData(data);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer, "png");
            picture = reader.read();
        } else {
            PictureFile::decode(data, picture);
        }
        benchmark::DoNotOptimize(picture);
    }
}
BENCHMARK(BM_DecodePng)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
