#include "core/webpdecoder.h"

#include <QByteArray>

#include <webp/decode.h>
#include <webp/demux.h>

#include <memory>

namespace WebpDecoder {

namespace {

// Bytes in the order of a QRgb in memory, so that libwebp writes straight
// into the image; the animation decoder knows only RGBA and BGRA.
constexpr bool LittleEndian = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
constexpr WEBP_CSP_MODE StillMode = LittleEndian ? MODE_BGRA : MODE_ARGB;
constexpr WEBP_CSP_MODE FrameMode = LittleEndian ? MODE_BGRA : MODE_RGBA;
constexpr QImage::Format FrameFormat = LittleEndian ? QImage::Format_ARGB32
                                                    : QImage::Format_RGBA8888;

WebPData webpData(const QByteArray &data)
{
    return {reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size())};
}

struct DemuxerDeleter
{
    void operator()(WebPDemuxer *demuxer) const { WebPDemuxDelete(demuxer); }
};

struct AnimDecoderDeleter
{
    void operator()(WebPAnimDecoder *decoder) const { WebPAnimDecoderDelete(decoder); }
};

// `config` holds the bitstream's features already.
QImage decodeStill(const QByteArray &data, WebPDecoderConfig &config, const QSize &scaled)
{
    const QSize size = scaled.isValid() ? scaled : QSize(config.input.width, config.input.height);
    QImage image(size, config.input.has_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return QImage();
    if (scaled.isValid()) {
        config.options.use_scaling = 1;
        config.options.scaled_width = size.width();
        config.options.scaled_height = size.height();
    }
    config.output.colorspace = StillMode;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = image.bits();
    config.output.u.RGBA.stride = int(image.bytesPerLine());
    config.output.u.RGBA.size = size_t(image.sizeInBytes());
    const VP8StatusCode status = WebPDecode(reinterpret_cast<const uint8_t *>(data.constData()),
                                            size_t(data.size()), &config);
    WebPFreeDecBuffer(&config.output);
    return status == VP8_STATUS_OK ? image : QImage();
}

QList<QImage> decodeFrames(const QByteArray &data, int count)
{
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        return {};
    options.color_mode = FrameMode;
    const WebPData webp = webpData(data);
    const std::unique_ptr<WebPAnimDecoder, AnimDecoderDeleter> decoder(
        WebPAnimDecoderNew(&webp, &options));
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info))
        return {};
    const int width = int(info.canvas_width);
    const int height = int(info.canvas_height);
    QList<QImage> frames;
    while (frames.size() < count && WebPAnimDecoderHasMoreFrames(decoder.get())) {
        uint8_t *canvas = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp))
            return {};
        // The canvas is the decoder's own and is overwritten by the next frame.
        const QImage frame(canvas, width, height, width * 4, FrameFormat);
        frames << (LittleEndian ? frame.copy() : frame.convertToFormat(QImage::Format_ARGB32));
        if (frames.last().isNull())
            return {};
    }
    return frames.size() == count ? frames : QList<QImage>();
}

} // namespace

Header header(const QByteArray &data)
{
    Header header;
    const WebPData webp = webpData(data);
    // The full demuxer, not the partial one: a file cut short is refused here.
    const std::unique_ptr<WebPDemuxer, DemuxerDeleter> demuxer(WebPDemux(&webp));
    if (!demuxer)
        return header;
    const int frames = int(WebPDemuxGetI(demuxer.get(), WEBP_FF_FRAME_COUNT));
    const QSize canvas(int(WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_WIDTH)),
                       int(WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_HEIGHT)));
    if (frames < 1 || canvas.isEmpty())
        return header;
    header.size = canvas;
    header.frameCount = frames;
    return header;
}

QList<QImage> decode(const QByteArray &data, int count, const QSize &scaled)
{
    WebPDecoderConfig config;
    if (count < 1 || !WebPInitDecoderConfig(&config)
        || WebPGetFeatures(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()),
                           &config.input)
            != VP8_STATUS_OK)
        return {};
    if (config.input.has_animation)
        return decodeFrames(data, count);
    const QImage still = decodeStill(data, config, scaled);
    return still.isNull() ? QList<QImage>() : QList<QImage>{still};
}

} // namespace WebpDecoder
