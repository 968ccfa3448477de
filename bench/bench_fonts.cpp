#include "core/fontcharacters.h"
#include "core/fontrenderer.h"
#include "core/renderedfont.h"
#include "output/fontcells.h"
#include "output/fontsource.h"
#include "output/gfxfont.h"

#include <QByteArray>
#include <QFile>

#include <benchmark/benchmark.h>

// What `vexlor-cli font` does after reading the file: open the font in
// memory, render every glyph, build the tables and write the text.
namespace {

const char DejaVu[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
// Debian's fonts-wqy-microhei: a CJK font of 5 MB with about 28,000 glyphs.
const char Cjk[] = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

QByteArray fontFile(const char *path)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<char32_t> codes(char32_t first, int count)
{
    QList<char32_t> result;
    for (int i = 0; i < count; ++i)
        result << first + char32_t(i);
    return result;
}

RenderedFont render(const QByteArray &data, int pixels, const QList<char32_t> &wanted)
{
    FontRenderer renderer;
    renderer.load(data);
    renderer.setPixelSize(pixels);
    QList<char32_t> missing;
    return RenderedFont::render(renderer, pixels, wanted, missing);
}

QByteArray cellsText(const RenderedFont &font)
{
    QList<char32_t> cut;
    DisplayLayout layout;
    const QSize size = FontCells::largestBox(font);
    layout.width = size.width();
    layout.height = size.height();
    const FontCells cells = FontCells::build(font, layout, false, cut);
    SourceText::Options options;
    options.name = QStringLiteral("font");
    return FontSource::cellsC(cells, options, QStringLiteral("bench")).source;
}

void convert(benchmark::State &state, const char *path, int pixels, char32_t first, int count,
             bool gfx)
{
    const QByteArray data = fontFile(path);
    if (data.isEmpty()) {
        state.SkipWithError("font not installed");
        return;
    }
    const QList<char32_t> wanted = codes(first, count);
    for (auto _ : state) {
        const RenderedFont font = render(data, pixels, wanted);
        if (gfx) {
            GfxFont tables;
            if (!GfxFont::build(font, tables).isEmpty()) {
                state.SkipWithError("the glyphs do not fit a GFXfont");
                return;
            }
            SourceText::Options options;
            options.name = QStringLiteral("font");
            benchmark::DoNotOptimize(FontSource::gfxC(tables, options, QStringLiteral("bench")));
        } else {
            benchmark::DoNotOptimize(cellsText(font));
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_DejaVu95Cells(benchmark::State &state)
{
    convert(state, DejaVu, 16, 32, 95, false);
}
BENCHMARK(BM_DejaVu95Cells)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DejaVu95Gfx(benchmark::State &state)
{
    convert(state, DejaVu, 16, 32, 95, true);
}
BENCHMARK(BM_DejaVu95Gfx)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// 3,000 of the CJK unified ideographs from U+4E00 (U+4E00-U+59B7): in cells at
// 16 pixels, and as a GFXfont at 12, since at 16 its bitmap would pass the
// 64 KiB that 16-bit offsets reach.
void BM_Cjk3000Cells(benchmark::State &state)
{
    convert(state, Cjk, 16, 0x4E00, 3000, false);
}
BENCHMARK(BM_Cjk3000Cells)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_Cjk3000Gfx(benchmark::State &state)
{
    convert(state, Cjk, 12, 0x4E00, 3000, true);
}
BENCHMARK(BM_Cjk3000Gfx)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
