#pragma once

#include <QImage>
#include <QSize>

#include <vector>

// A picture shrunk row by row as its rows arrive, each pixel of the result
// the exact average of the area of the picture it covers: what smooth
// scaling gives, without ever holding the picture at its own size.
// Transparent pixels weigh by their opacity, so that the result mixed with
// a background is the average of the pixels mixed with it; where every
// pixel is transparent, the colours are averaged as they stand.
class AreaReducer
{
public:
    // `to` is no larger than `from` either way.
    AreaReducer(const QSize &from, const QSize &to, bool alpha);

    // The next of the picture's rows, `from.width()` pixels.
    void add(const QRgb *line);
    // Once every row is added: RGB32, or ARGB32 when the rows have alpha.
    QImage result() const { return m_result; }

private:
    void accumulate(std::vector<quint64> &sums, const QRgb *line, quint64 weight) const;
    void finishRow(int y);

    QSize m_from;
    QSize m_to;
    int m_channels;
    int m_row = 0;
    // Where each column of the picture goes: to column m_column[x] by
    // m_share[x] of its width, the rest to the next one.
    std::vector<int> m_column;
    std::vector<quint64> m_share;
    // The picture's columns summed down the current row of the result, and
    // down the next one, which a picture's row can straddle.
    std::vector<quint64> m_current;
    std::vector<quint64> m_next;
    std::vector<quint64> m_across;
    QImage m_result;
};
