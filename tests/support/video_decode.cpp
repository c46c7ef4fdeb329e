#include "tests/support/video_decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libavutil/video_enc_params.h>
#include <libswscale/swscale.h>
}

namespace {

struct format_closer_t {
    void operator()(AVFormatContext *f) const { avformat_close_input(&f); }
};
struct decoder_closer_t {
    void operator()(AVCodecContext *c) const { avcodec_free_context(&c); }
};
struct packet_closer_t {
    void operator()(AVPacket *p) const { av_packet_free(&p); }
};
struct frame_closer_t {
    void operator()(AVFrame *f) const { av_frame_free(&f); }
};
struct scaler_closer_t {
    void operator()(SwsContext *s) const { sws_freeContext(s); }
};

// The decoded frame as RGB, with the matrix and range its tags name (BT.601
// where it names none), converted as the ffmpeg program converts it.
rgb_image_t to_rgb(const AVFrame *frame)
{
    rgb_image_t image{frame->width, frame->height, {}};
    image.rgb.resize(3u * static_cast<std::size_t>(frame->width) *
                     static_cast<std::size_t>(frame->height));
    const std::unique_ptr<SwsContext, scaler_closer_t> scaler(sws_getContext(
        frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), frame->width,
        frame->height, AV_PIX_FMT_RGB24, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!scaler) {
        ADD_FAILURE() << "swscale cannot convert "
                      << av_get_pix_fmt_name(static_cast<AVPixelFormat>(frame->format));
        return {0, 0, {}};
    }
    const int space =
        frame->colorspace == AVCOL_SPC_UNSPECIFIED ? SWS_CS_DEFAULT : int{frame->colorspace};
    const int *matrix = sws_getCoefficients(space);
    sws_setColorspaceDetails(scaler.get(), matrix, frame->color_range == AVCOL_RANGE_JPEG ? 1 : 0,
                             matrix, 1, 0, 1 << 16, 1 << 16);
    std::uint8_t *rows[4] = {image.rgb.data(), nullptr, nullptr, nullptr};
    const int stride[4] = {3 * frame->width, 0, 0, 0};
    sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, rows, stride);
    return image;
}

} // namespace

video_stream_t read_video(const std::string &path, int fps, int picture_index)
{
    video_stream_t v;
    AVFormatContext *opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) {
        ADD_FAILURE() << "FFmpeg cannot open " << path;
        return v;
    }
    const std::unique_ptr<AVFormatContext, format_closer_t> format(opened);
    const int index =
        avformat_find_stream_info(format.get(), nullptr) < 0
            ? -1
            : av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0) {
        ADD_FAILURE() << "FFmpeg finds no video stream in " << path;
        return v;
    }
    const AVStream *stream = format->streams[index];
    const AVCodecParameters *par = stream->codecpar;
    v.codec = avcodec_get_name(par->codec_id);
    v.width = par->width;
    v.height = par->height;
    if (const char *name = av_get_pix_fmt_name(static_cast<AVPixelFormat>(par->format)))
        v.pixel_format = name;
    v.rate =
        std::to_string(stream->r_frame_rate.num) + "/" + std::to_string(stream->r_frame_rate.den);

    const AVCodec *codec = avcodec_find_decoder(par->codec_id);
    const std::unique_ptr<AVCodecContext, decoder_closer_t> decoder(avcodec_alloc_context3(codec));
    if (codec == nullptr || !decoder || avcodec_parameters_to_context(decoder.get(), par) < 0) {
        ADD_FAILURE() << "FFmpeg has no decoder for " << v.codec;
        return v;
    }
    decoder->export_side_data |= AV_CODEC_EXPORT_DATA_VIDEO_ENC_PARAMS;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        ADD_FAILURE() << "FFmpeg cannot open its decoder for " << v.codec;
        return v;
    }
    const std::unique_ptr<AVPacket, packet_closer_t> packet(av_packet_alloc());
    const std::unique_ptr<AVFrame, frame_closer_t> frame(av_frame_alloc());
    const auto take_frames = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) == 0) {
            if (const AVFrameSideData *d =
                    av_frame_get_side_data(frame.get(), AV_FRAME_DATA_VIDEO_ENC_PARAMS))
                v.most_q = std::max(v.most_q, reinterpret_cast<AVVideoEncParams *>(d->data)->qp);
            if (v.frames == picture_index)
                v.picture = to_rgb(frame.get());
            ++v.frames;
        }
    };
    while (av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == index) {
            if ((packet->flags & AV_PKT_FLAG_KEY) != 0)
                v.key_frames.push_back(
                    av_rescale_q(packet->pts, stream->time_base, AVRational{1, fps}));
            avcodec_send_packet(decoder.get(), packet.get());
            take_frames();
        }
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder.get(), nullptr);
    take_frames();
    return v;
}
