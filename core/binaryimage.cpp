#include "core/binaryimage.h"

BinaryImage::BinaryImage(const DisplayLayout &layout)
{
    if (layout.isValid()) {
        m_bytes = QByteArray(layout.imageBytes(), '\0');
        m_layout = layout;
    }
}

BinaryImage::BinaryImage(const QByteArray &bytes, const DisplayLayout &layout)
{
    if (layout.isValid() && bytes.size() == layout.imageBytes()) {
        m_bytes = bytes;
        m_layout = layout;
    }
}

BinaryImage BinaryImage::fromRawData(const uchar *data, const DisplayLayout &layout)
{
    if (!layout.isValid())
        return BinaryImage();
    return BinaryImage(QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                               layout.imageBytes()),
                       layout);
}

bool BinaryImage::pixel(int x, int y) const
{
    return uchar(m_bytes.at(m_layout.byteOffset(x, y))) & m_layout.bitMask(x, y);
}

void BinaryImage::setPixel(int x, int y, bool on)
{
    char &byte = m_bytes[m_layout.byteOffset(x, y)];
    const uchar mask = m_layout.bitMask(x, y);
    byte = char(on ? uchar(byte) | mask : uchar(byte) & ~mask);
}

void BinaryImage::invert()
{
    // Flipping whole bytes would turn the padding bits on, which the layout
    // promises are off: only the bits of real pixels are flipped.
    BinaryImage full(m_layout);
    for (int y = 0; y < m_layout.height; ++y)
        for (int x = 0; x < m_layout.width; ++x)
            full.setPixel(x, y, true);
    char *out = m_bytes.data();
    const char *mask = full.m_bytes.constData();
    for (qsizetype i = 0; i < m_bytes.size(); ++i)
        out[i] = char(~uchar(out[i]) & uchar(mask[i]));
}

bool BinaryImage::isAllOff() const
{
    return !isNull() && m_bytes.count('\0') == m_bytes.size();
}

bool BinaryImage::isAllOn() const
{
    // Pixel by pixel, the padding bits being off; a picture has an off pixel early.
    for (int y = 0; y < m_layout.height; ++y)
        for (int x = 0; x < m_layout.width; ++x)
            if (!pixel(x, y))
                return false;
    return !isNull();
}
