#pragma once

class QByteArray;
class QImage;
class QSize;

// The PNG pictures people mostly have (8 bits or fewer per channel, not
// interlaced), inflated in one pass over the whole image: the toolkit's
// reader inflates one row at a time, which costs most of a small picture's
// decoding. The result is the toolkit reader's own, in format and in every
// pixel. Whatever is unusual or damaged is left to that reader, which has the
// last word on it.
namespace PngDecoder {

// A null image when the picture is not one of those kinds.
QImage decode(const QByteArray &data);

// The picture's size when its chunks are of a kind decode() takes (it may
// still leave the picture to the toolkit when inflating); otherwise invalid.
QSize size(const QByteArray &data);

} // namespace PngDecoder
