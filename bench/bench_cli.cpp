#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QString cliPath()
{
#ifdef VEXLOR_CLI
    return QStringLiteral(VEXLOR_CLI);
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../cli/vexlor-cli");
#endif
}

// One process converting 64 pictures into one file, start-up included.
void BM_CliToBin64(benchmark::State &state)
{
    QTemporaryDir dir;
    QStringList arguments{QStringLiteral("to-bin")};
    for (int i = 0; i < 64; ++i) {
        QImage picture(128, 64, QImage::Format_RGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 128; ++x)
                picture.setPixel(x, y, ((x + y + i) / 3) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        const QString path = dir.filePath(QStringLiteral("p%1.%2").arg(i).arg(i % 2 ? "png" : "bmp"));
        picture.save(path);
        arguments << path;
    }
    arguments << QStringLiteral("-o") << dir.filePath(QStringLiteral("out.bin"));
    const QString program = cliPath();
    // Wall time suffers from other loads on the machine; the child's own CPU
    // time says what the process costs.
    const double cpuBefore = childCpuSeconds();
    for (auto _ : state) {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished() || process.exitCode() != 0) {
            state.SkipWithError("vexlor-cli failed");
            break;
        }
    }
    state.counters["child_cpu_ms"] = benchmark::Counter(
        (childCpuSeconds() - cpuBefore) * 1e3 / double(state.iterations()));
}
BENCHMARK(BM_CliToBin64)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
