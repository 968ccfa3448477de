#pragma once

class QImage;
class QString;

namespace Cli {

// A picture as BinImage::toPicture makes it, drawn with half blocks: each
// character holds two pixels one above the other, on pixels drawn.
QString halfBlocks(const QImage &picture);

} // namespace Cli
