#include "output/exportfields.h"
#include "output/exporttext.h"

#include <QByteArray>
#include <QString>

#include <benchmark/benchmark.h>

namespace {

QByteArray sampleImage()
{
    QByteArray image(1024, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 37);
    return image;
}

void BM_ExportText(benchmark::State &state)
{
    ExportFields fields;
    ExportText::preset(int(state.range(0)), fields);
    const bool assembler = state.range(0) == ExportText::Assembler;
    const QByteArray image = sampleImage();
    const auto *bytes = reinterpret_cast<const uchar *>(image.constData());
    for (auto _ : state)
        benchmark::DoNotOptimize(ExportText::generate(fields, 16, assembler, bytes));
}
BENCHMARK(BM_ExportText)->Arg(0)->Arg(1)->Arg(2)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ExportEncode(benchmark::State &state)
{
    ExportFields fields;
    ExportText::preset(ExportText::C, fields);
    const QByteArray image = sampleImage();
    const auto *bytes = reinterpret_cast<const uchar *>(image.constData());
    for (auto _ : state) {
        const QString text = ExportText::generate(fields, 16, false, bytes);
        benchmark::DoNotOptimize(ExportText::isLatin1(text) ? ExportText::encode(text) : QByteArray());
    }
}
BENCHMARK(BM_ExportEncode)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
