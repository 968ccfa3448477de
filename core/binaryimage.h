#pragma once

#include "core/displaylayout.h"

#include <QByteArray>

// One display image: the bytes as the display's memory holds them, and the
// layout that gives them their meaning. A null image has no bytes at all.
class BinaryImage
{
public:
    BinaryImage() = default;
    // Every pixel off.
    explicit BinaryImage(const DisplayLayout &layout);
    // Null unless `bytes` holds exactly one image of a valid layout.
    BinaryImage(const QByteArray &bytes, const DisplayLayout &layout);
    // Reads `data` in place: it must outlive the image and all its copies.
    static BinaryImage fromRawData(const uchar *data, const DisplayLayout &layout);

    bool isNull() const { return m_bytes.isEmpty(); }
    const QByteArray &bytes() const { return m_bytes; }
    const uchar *constData() const { return reinterpret_cast<const uchar *>(m_bytes.constData()); }
    const DisplayLayout &layout() const { return m_layout; }

    bool pixel(int x, int y) const;
    void setPixel(int x, int y, bool on);
    // Swaps on and off pixels; the bits that pad pages or rows stay off.
    void invert();
    // A conversion that gives either has most likely lost the picture.
    bool isAllOff() const;
    bool isAllOn() const;

private:
    QByteArray m_bytes;
    DisplayLayout m_layout;
};
