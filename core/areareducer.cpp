#include "core/areareducer.h"

#include <algorithm>

namespace {

// Colour as it stands, then colour times opacity, then opacity.
enum { Red, Green, Blue, WeightedRed, WeightedGreen, WeightedBlue, Opacity, AlphaChannels };
constexpr int ColourChannels = 3;

quint64 rounded(quint64 sum, quint64 total)
{
    return (sum + total / 2) / total;
}

} // namespace

// In units of 1/from of a result pixel, picture pixel x spans
// [x * to, (x + 1) * to) and result pixel j spans [j * from, (j + 1) * from):
// every overlap is a whole number, and so is every sum.
AreaReducer::AreaReducer(const QSize &from, const QSize &to, bool alpha)
    : m_from(from)
    , m_to(to)
    , m_channels(alpha ? AlphaChannels : ColourChannels)
    , m_column(size_t(from.width()))
    , m_share(size_t(from.width()))
    , m_current(size_t(from.width()) * m_channels)
    , m_next(m_current.size())
    , m_across((size_t(to.width()) + 1) * m_channels)
    , m_result(to, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32)
{
    const qint64 wide = from.width();
    const qint64 narrow = to.width();
    for (qint64 x = 0; x < wide; ++x) {
        const qint64 start = x * narrow;
        const qint64 column = start / wide;
        m_column[size_t(x)] = int(column);
        m_share[size_t(x)] = quint64(std::min(start + narrow, (column + 1) * wide) - start);
    }
}

void AreaReducer::accumulate(std::vector<quint64> &sums, const QRgb *line, quint64 weight) const
{
    quint64 *sum = sums.data();
    if (m_channels == ColourChannels) {
        for (int x = 0; x < m_from.width(); ++x, sum += ColourChannels) {
            sum[Red] += weight * qRed(line[x]);
            sum[Green] += weight * qGreen(line[x]);
            sum[Blue] += weight * qBlue(line[x]);
        }
        return;
    }
    for (int x = 0; x < m_from.width(); ++x, sum += AlphaChannels) {
        const QRgb pixel = line[x];
        const quint64 opacity = weight * qAlpha(pixel);
        sum[Red] += weight * qRed(pixel);
        sum[Green] += weight * qGreen(pixel);
        sum[Blue] += weight * qBlue(pixel);
        sum[WeightedRed] += opacity * qRed(pixel);
        sum[WeightedGreen] += opacity * qGreen(pixel);
        sum[WeightedBlue] += opacity * qBlue(pixel);
        sum[Opacity] += opacity;
    }
}

void AreaReducer::add(const QRgb *line)
{
    if (m_row >= m_from.height())
        return;
    const qint64 tall = m_from.height();
    const qint64 start = qint64(m_row++) * m_to.height();
    const qint64 end = start + m_to.height();
    const qint64 y = start / tall;
    const qint64 boundary = (y + 1) * tall;
    accumulate(m_current, line, quint64(std::min(end, boundary) - start));
    if (end > boundary)
        accumulate(m_next, line, quint64(end - boundary));
    if (end >= boundary) {
        finishRow(int(y));
        m_current.swap(m_next);
        std::fill(m_next.begin(), m_next.end(), 0);
    }
}

void AreaReducer::finishRow(int y)
{
    std::fill(m_across.begin(), m_across.end(), 0);
    const quint64 narrow = quint64(m_to.width());
    for (int x = 0; x < m_from.width(); ++x) {
        const quint64 *sum = m_current.data() + size_t(x) * m_channels;
        quint64 *into = m_across.data() + size_t(m_column[size_t(x)]) * m_channels;
        const quint64 share = m_share[size_t(x)];
        // The last column's rest is nothing, taken by a spare slot past the end.
        for (int c = 0; c < m_channels; ++c) {
            into[c] += share * sum[c];
            into[m_channels + c] += (narrow - share) * sum[c];
        }
    }
    const quint64 area = quint64(m_from.width()) * quint64(m_from.height());
    auto *out = reinterpret_cast<QRgb *>(m_result.scanLine(y));
    for (int x = 0; x < m_to.width(); ++x) {
        const quint64 *sum = m_across.data() + size_t(x) * m_channels;
        if (m_channels == ColourChannels) {
            out[x] = qRgb(int(rounded(sum[Red], area)), int(rounded(sum[Green], area)),
                          int(rounded(sum[Blue], area)));
            continue;
        }
        const quint64 opacity = sum[Opacity];
        const int alpha = int(rounded(opacity, area));
        out[x] = opacity == 0
            ? qRgba(int(rounded(sum[Red], area)), int(rounded(sum[Green], area)),
                    int(rounded(sum[Blue], area)), alpha)
            : qRgba(int(rounded(sum[WeightedRed], opacity)),
                    int(rounded(sum[WeightedGreen], opacity)),
                    int(rounded(sum[WeightedBlue], opacity)), alpha);
    }
}
