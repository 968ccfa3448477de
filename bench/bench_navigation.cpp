#include "core/maindialogimpl.h"

#include <QApplication>
#include <QFile>
#include <QLCDNumber>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString sixtyFourImages(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("sixty-four.bin"));
    QByteArray data(65536, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i * 37 / 11);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void BM_LoadSixtyFourImages(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = sixtyFourImages(dir);
    maindialogImpl form;
    form.show();
    for (auto _ : state) {
        form.loadBinFile(path);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_LoadSixtyFourImages)->Unit(benchmark::kMicrosecond);

void BM_NextImage(benchmark::State &state)
{
    QTemporaryDir dir;
    maindialogImpl form;
    form.show();
    form.loadBinFile(sixtyFourImages(dir));
    for (auto _ : state) {
        if (form.LCDindex->intValue() == 63) {
            state.PauseTiming();
            form.loadBinFile(dir.filePath(QStringLiteral("sixty-four.bin")));
            state.ResumeTiming();
        }
        form.nextClick();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_NextImage)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
