#include "core/jpegdecoder.h"

#include "core/areareducer.h"
#include "core/picturedecoder.h"
#include "core/picturetransform.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QtEndian>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

namespace JpegDecoder {

namespace {

using FileAccess::Status;
using PictureTransform::Flip;
using PictureTransform::Orientation;

constexpr qint64 BlockBytes = 64 * 1024;

// A progressive photo's coefficients are held whole, two bytes each, three
// components at most: what the largest picture decoded at full size takes.
// A file that declares more is refused before libjpeg holds it.
constexpr long MemoryLimit = long(PictureDecoder::MaxDecodedPixels * 3 * sizeof(JCOEF))
    + 16 * 1024 * 1024;

constexpr bool LittleEndian = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
// Bytes in the order of a QRgb in memory, so that rows go straight into the picture.
constexpr J_COLOR_SPACE RgbSpace = LittleEndian ? JCS_EXT_BGRA : JCS_EXT_ARGB;

struct Errors
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    bool tooLarge = false;
};

// Where libjpeg goes on with grey, or with what the last block held: the
// picture is not all there.
bool isCorruptData(int code)
{
    switch (code) {
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_JPEG_EOF:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
        return true;
    default:
        return false;
    }
}

[[noreturn]] void fail(j_common_ptr info)
{
    auto *errors = reinterpret_cast<Errors *>(info->err);
    const int code = info->err->msg_code;
    errors->tooLarge = code == JERR_NO_BACKING_STORE || code == JERR_OUT_OF_MEMORY;
    std::longjmp(errors->jump, 1);
}

void message(j_common_ptr info, int level)
{
    if (level < 0 && isCorruptData(info->err->msg_code))
        fail(info);
}

void silence(j_common_ptr) {}

// The file read a block at a time.
struct Source
{
    jpeg_source_mgr manager;
    QIODevice *device;
    JOCTET *buffer;
};

void startSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr info)
{
    auto *source = reinterpret_cast<Source *>(info->src);
    const qint64 got = source->device->read(reinterpret_cast<char *>(source->buffer), BlockBytes);
    if (got <= 0) {
        WARNMS(info, JWRN_JPEG_EOF); // the file ends before the picture: this jumps out
        static const JOCTET end[] = {0xFF, JPEG_EOI};
        source->manager.next_input_byte = end;
        source->manager.bytes_in_buffer = sizeof end;
        return TRUE;
    }
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = size_t(got);
    return TRUE;
}

void skipInput(j_decompress_ptr info, long count)
{
    auto *source = reinterpret_cast<Source *>(info->src);
    if (count <= 0)
        return;
    if (size_t(count) <= source->manager.bytes_in_buffer) {
        source->manager.next_input_byte += count;
        source->manager.bytes_in_buffer -= size_t(count);
        return;
    }
    // Past the file's end, the next read finds nothing, which is damage.
    source->device->skip(qint64(count) - qint64(source->manager.bytes_in_buffer));
    source->manager.bytes_in_buffer = 0;
}

void endSource(j_decompress_ptr) {}

quint32 exifValue(const uchar *at, bool little, int bytes)
{
    if (bytes == 2)
        return little ? qFromLittleEndian<quint16>(at) : qFromBigEndian<quint16>(at);
    return little ? qFromLittleEndian<quint32>(at) : qFromBigEndian<quint32>(at);
}

// The orientation tag of an Exif block, 1 (upright) when there is none.
int exifOrientation(const uchar *data, size_t length)
{
    if (length < 14 || std::memcmp(data, "Exif\0\0", 6) != 0)
        return 1;
    const uchar *tiff = data + 6;
    const size_t size = length - 6;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if ((!little && (tiff[0] != 'M' || tiff[1] != 'M')) || exifValue(tiff + 2, little, 2) != 42)
        return 1;
    const size_t directory = exifValue(tiff + 4, little, 4);
    if (directory > size - 2)
        return 1;
    const size_t entries = exifValue(tiff + directory, little, 2);
    for (size_t i = 0; i < entries; ++i) {
        const size_t entry = directory + 2 + 12 * i;
        if (entry + 12 > size)
            break;
        if (exifValue(tiff + entry, little, 2) != 0x0112)
            continue;
        // One value of type SHORT, or none at all.
        const bool single = exifValue(tiff + entry + 2, little, 2) == 3
            && exifValue(tiff + entry + 4, little, 4) == 1;
        const quint32 value = exifValue(tiff + entry + 8, little, 2);
        return single && value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

// The turn first, then the mirror, as the picture transform applies them.
Orientation orientationOf(int exif)
{
    static const Orientation orientations[] = {
        {0, Flip::None},     {0, Flip::Horizontal}, {2, Flip::None},
        {0, Flip::Vertical}, {1, Flip::Horizontal}, {1, Flip::None},
        {1, Flip::Vertical}, {3, Flip::None},
    };
    return orientations[exif - 1];
}

// The smallest M for which M/8 of `size` is at least `wanted` both ways.
int eighths(const QSize &size, const QSize &wanted)
{
    const double factor = qMin(double(size.width()) / wanted.width(),
                               double(size.height()) / wanted.height());
    return qBound(1, int(std::ceil(8 / factor)), 8);
}

// Adobe's inverted CMYK, as the toolkit's reader turns it into colours.
QRgb fromCmyk(const JSAMPLE *in)
{
    const int k = in[3];
    return qRgb(k * in[0] / 255, k * in[1] / 255, k * in[2] / 255);
}

class Decoder
{
public:
    explicit Decoder(QIODevice &device) : m_buffer(BlockBytes, Qt::Uninitialized)
    {
        m_info.err = jpeg_std_error(&m_errors.manager);
        m_errors.manager.error_exit = fail;
        m_errors.manager.emit_message = message;
        m_errors.manager.output_message = silence;
        m_source.manager.init_source = startSource;
        m_source.manager.fill_input_buffer = fillInput;
        m_source.manager.skip_input_data = skipInput;
        m_source.manager.resync_to_restart = jpeg_resync_to_restart;
        m_source.manager.term_source = endSource;
        m_source.manager.bytes_in_buffer = 0;
        m_source.manager.next_input_byte = nullptr;
        m_source.device = &device;
        m_source.buffer = reinterpret_cast<JOCTET *>(m_buffer.data());
    }
    ~Decoder()
    {
        if (m_created)
            jpeg_destroy_decompress(&m_info);
    }
    Decoder(const Decoder &) = delete;
    Decoder &operator=(const Decoder &) = delete;

    bool readHeader();
    QSize size() const { return QSize(int(m_info.image_width), int(m_info.image_height)); }
    Orientation orientation() const;
    Status decode(const QSize &reduced, QImage &picture);
    bool tooLarge() const { return m_errors.tooLarge; }

private:
    bool start(const QSize &reduced);
    bool prepare(const QSize &reduced);
    bool readRows();
    void store(JSAMPROW row);
    JSAMPROW rowBuffer();

    jpeg_decompress_struct m_info = {};
    Errors m_errors = {};
    Source m_source = {};
    QByteArray m_buffer;
    bool m_created = false;
    QImage m_image;
    std::unique_ptr<AreaReducer> m_reducer;
    std::vector<QRgb> m_line;
    std::vector<JSAMPLE> m_samples;
};

// Each of these runs libjpeg, whose errors and corrupt-data warnings jump
// back to its start: nothing after that point has a destructor to skip.
bool Decoder::readHeader()
{
    if (setjmp(m_errors.jump))
        return false;
    jpeg_create_decompress(&m_info);
    m_created = true;
    m_info.src = &m_source.manager;
    m_info.mem->max_memory_to_use = MemoryLimit;
    jpeg_save_markers(&m_info, JPEG_APP0 + 1, 0xFFFF);
    return jpeg_read_header(&m_info, TRUE) == JPEG_HEADER_OK && m_info.image_width > 0
        && m_info.image_height > 0;
}

bool Decoder::start(const QSize &reduced)
{
    if (setjmp(m_errors.jump))
        return false;
    if (reduced.isValid()) {
        m_info.scale_num = unsigned(eighths(size(), reduced));
        m_info.scale_denom = 8;
    }
    switch (m_info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        m_info.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        m_info.out_color_space = JCS_CMYK;
        break;
    default:
        m_info.out_color_space = RgbSpace;
        break;
    }
    return jpeg_start_decompress(&m_info);
}

bool Decoder::readRows()
{
    if (setjmp(m_errors.jump))
        return false;
    while (m_info.output_scanline < m_info.output_height) {
        JSAMPROW row = rowBuffer();
        if (jpeg_read_scanlines(&m_info, &row, 1) != 1)
            return false;
        store(row);
    }
    return jpeg_finish_decompress(&m_info);
}

Orientation Decoder::orientation() const
{
    for (jpeg_saved_marker_ptr marker = m_info.marker_list; marker; marker = marker->next)
        if (marker->marker == JPEG_APP0 + 1)
            if (const int exif = exifOrientation(marker->data, marker->data_length); exif != 1)
                return orientationOf(exif);
    return {};
}

// Rows go straight into the picture at its own size; reduced, or of four
// inks, they pass through a line of their own.
bool Decoder::prepare(const QSize &reduced)
{
    const QSize decoded(int(m_info.output_width), int(m_info.output_height));
    const bool grey = m_info.out_color_space == JCS_GRAYSCALE;
    if (reduced.isValid() && reduced != decoded) {
        m_reducer = std::make_unique<AreaReducer>(decoded, reduced, false);
        m_line.resize(size_t(decoded.width()));
    } else {
        if (!PictureDecoder::withinAllocationLimit(decoded, grey ? 8 : 32)) {
            m_errors.tooLarge = true;
            return false;
        }
        m_image = QImage(decoded, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
        if (m_image.isNull())
            return false;
    }
    if (m_info.out_color_space != RgbSpace)
        m_samples.resize(size_t(decoded.width()) * size_t(m_info.output_components));
    return true;
}

JSAMPROW Decoder::rowBuffer()
{
    if (!m_samples.empty())
        return m_samples.data();
    if (m_reducer)
        return reinterpret_cast<JSAMPROW>(m_line.data());
    return m_image.scanLine(int(m_info.output_scanline));
}

void Decoder::store(JSAMPROW row)
{
    const size_t width = m_info.output_width;
    if (m_info.out_color_space == JCS_CMYK) {
        const int y = int(m_info.output_scanline - 1);
        QRgb *out = m_reducer ? m_line.data() : reinterpret_cast<QRgb *>(m_image.scanLine(y));
        for (size_t x = 0; x < width; ++x)
            out[x] = fromCmyk(row + 4 * x);
    } else if (m_info.out_color_space == JCS_GRAYSCALE) {
        if (!m_reducer) {
            std::memcpy(m_image.scanLine(int(m_info.output_scanline - 1)), row, width);
            return;
        }
        for (size_t x = 0; x < width; ++x)
            m_line[x] = qRgb(row[x], row[x], row[x]);
    }
    if (m_reducer)
        m_reducer->add(m_line.data());
}

Status Decoder::decode(const QSize &reduced, QImage &picture)
{
    if (!start(reduced) || !prepare(reduced) || !readRows())
        return tooLarge() ? Status::TooLarge : Status::Damaged;
    picture = m_reducer ? m_reducer->result() : m_image;
    return Status::Ok;
}

} // namespace

Header header(QIODevice &device)
{
    Decoder decoder(device);
    Header header;
    if (!decoder.readHeader())
        return header;
    const Orientation orientation = decoder.orientation();
    header.status = Status::Ok;
    header.swapsAxes = PictureTransform::swapsAxes(orientation);
    header.size = PictureTransform::orientedSize(decoder.size(), orientation);
    return header;
}

QSize decodedSize(const QSize &size, const QSize &wanted)
{
    const int scale = eighths(size, wanted);
    return QSize(int((qint64(size.width()) * scale + 7) / 8),
                 int((qint64(size.height()) * scale + 7) / 8));
}

Status decode(QIODevice &device, const QSize &wanted, QImage &picture)
{
    Decoder decoder(device);
    if (!decoder.readHeader())
        return Status::Damaged;
    const Orientation orientation = decoder.orientation();
    const QSize stored = decoder.size();
    QSize reduced = wanted.isValid() ? PictureTransform::orientedSize(wanted, orientation) : QSize();
    if (reduced.isEmpty() || reduced.width() > stored.width() || reduced.height() > stored.height()
        || reduced == stored)
        reduced = QSize();
    QImage image;
    const Status status = decoder.decode(reduced, image);
    if (status == Status::Ok)
        picture = PictureTransform::oriented(image, orientation);
    return status;
}

} // namespace JpegDecoder
