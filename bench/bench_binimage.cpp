#include "core/binimage.h"
#include "core/displaypreset.h"

#include <QByteArray>
#include <QImage>

#include <benchmark/benchmark.h>

namespace {

QImage samplePicture()
{
    QImage picture(BinImage::Width, BinImage::Height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, ((x / 4 + y / 4) % 2) ? qRgb(0, 0, 0) : qRgb(240, 240, 240));
    return picture;
}

void BM_PictureToBinImage(benchmark::State &state)
{
    const QImage picture = samplePicture();
    const auto org = state.range(0) ? BinImage::RowOrganisation::Row127
                                    : BinImage::RowOrganisation::Row63;
    for (auto _ : state)
        benchmark::DoNotOptimize(BinImage::fromPicture(picture, org));
}
BENCHMARK(BM_PictureToBinImage)->Arg(0)->Arg(1);

void BM_BinImageToPicture(benchmark::State &state)
{
    const QByteArray bytes = BinImage::fromPicture(samplePicture(), BinImage::RowOrganisation::Row63);
    const auto *image = reinterpret_cast<const uchar *>(bytes.constData());
    for (auto _ : state)
        benchmark::DoNotOptimize(BinImage::toPicture(image, 0xFFFFFFFF, BinImage::RowOrganisation::Row63));
}
BENCHMARK(BM_BinImageToPicture);

// The other layouts of the command line, at the window's size: the general
// path must be as fast as the window's two organisations.
DisplayLayout otherLayout(int index)
{
    return index == 0 ? DisplayPreset::find(QStringLiteral("gfx"))->layout
                      : DisplayPreset::find(QStringLiteral("sed1520"))->layout;
}

void BM_PictureToLayout(benchmark::State &state)
{
    const QImage picture = samplePicture();
    const DisplayLayout layout = otherLayout(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(BinImage::fromPicture(picture, layout));
}
BENCHMARK(BM_PictureToLayout)->Arg(0)->Arg(1);

void BM_LayoutToPicture(benchmark::State &state)
{
    const DisplayLayout layout = otherLayout(int(state.range(0)));
    const BinaryImage image = BinImage::fromPicture(samplePicture(), layout);
    for (auto _ : state)
        benchmark::DoNotOptimize(BinImage::toPicture(image, 0xFFFFFFFF));
}
BENCHMARK(BM_LayoutToPicture)->Arg(0)->Arg(1);

void BM_HexText(benchmark::State &state)
{
    const QByteArray bytes(BinImage::ImageBytes, char(0xA5));
    for (auto _ : state)
        benchmark::DoNotOptimize(BinImage::hexText(reinterpret_cast<const uchar *>(bytes.constData())));
}
BENCHMARK(BM_HexText);

} // namespace

BENCHMARK_MAIN();
