#include "host/video/video_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

constexpr int IO_BUFFER_BYTES = 1 << 16;

// VP9's constant rate factor runs to 63 where H.264's runs to 51.
constexpr int VP9_CRF_MAX = 63;
constexpr int H264_CRF_MAX = 51;

std::string av_error(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

void check(int code, const char *what)
{
    if (code < 0)
        throw std::runtime_error(std::string("video: ") + what + ": " + av_error(code));
}

// The file in memory, written and rewritten where the muxer seeks to.
struct memory_file_t {
    std::vector<std::uint8_t> bytes;
    std::size_t at = 0;
};

int write_packet(void *opaque, std::uint8_t *data, int n)
{
    auto *f = static_cast<memory_file_t *>(opaque);
    try {
        if (f->bytes.size() < f->at + std::size_t(n))
            f->bytes.resize(f->at + std::size_t(n));
    } catch (const std::bad_alloc &) {
        return AVERROR(ENOMEM);
    }
    std::memcpy(f->bytes.data() + f->at, data, std::size_t(n));
    f->at += std::size_t(n);
    return n;
}

std::int64_t seek_to(void *opaque, std::int64_t offset, int whence)
{
    auto *f = static_cast<memory_file_t *>(opaque);
    const auto size = static_cast<std::int64_t>(f->bytes.size());
    std::int64_t to = offset;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return size;
    case SEEK_SET: break;
    case SEEK_CUR: to += static_cast<std::int64_t>(f->at); break;
    case SEEK_END: to += size; break;
    default: return AVERROR(EINVAL);
    }
    if (to < 0)
        return AVERROR(EINVAL);
    f->at = static_cast<std::size_t>(to);
    return to;
}

} // namespace

bool video_available() { return true; }

struct video_writer_t::state_t {
    memory_file_t file;
    AVFormatContext *format = nullptr;
    AVIOContext *io = nullptr;
    AVCodecContext *codec = nullptr;
    AVStream *stream = nullptr;
    SwsContext *convert = nullptr;
    AVFrame *frame = nullptr;
    AVPacket *packet = nullptr;
    std::int64_t frames = 0;
    bool finished = false;

    ~state_t()
    {
        av_packet_free(&packet);
        av_frame_free(&frame);
        sws_freeContext(convert);
        avcodec_free_context(&codec);
        if (io != nullptr)
            av_freep(&io->buffer);
        avio_context_free(&io);
        avformat_free_context(format);
    }

    void open(video_kind_t kind, int width, int height, int fps, int crf);
    void encode(const AVFrame *f);
};

void video_writer_t::state_t::open(video_kind_t kind, int width, int height, int fps, int crf)
{
    av_log_set_level(AV_LOG_ERROR); // the encoders' chatter is not for our users
    const bool mp4 = kind == video_kind_t::mp4;
    check(avformat_alloc_output_context2(&format, nullptr, mp4 ? "mp4" : "webm", nullptr),
          "no muxer");
    format->flags |= AVFMT_FLAG_BITEXACT | AVFMT_FLAG_CUSTOM_IO;
    auto *buffer = static_cast<std::uint8_t *>(av_malloc(IO_BUFFER_BYTES));
    io = buffer
             ? avio_alloc_context(buffer, IO_BUFFER_BYTES, 1, &file, nullptr, write_packet, seek_to)
             : nullptr;
    if (io == nullptr) {
        av_free(buffer);
        throw std::bad_alloc();
    }
    format->pb = io;

    const char *encoder = mp4 ? "libx264" : "libvpx-vp9";
    const AVCodec *c = avcodec_find_encoder_by_name(encoder);
    if (c == nullptr)
        throw std::runtime_error(std::string("video: FFmpeg has no encoder ") + encoder);
    stream = avformat_new_stream(format, nullptr);
    codec = avcodec_alloc_context3(c);
    if (stream == nullptr || codec == nullptr)
        throw std::bad_alloc();
    codec->width = width;
    codec->height = height;
    codec->time_base = AVRational{1, fps};
    codec->framerate = AVRational{fps, 1};
    codec->pix_fmt = AV_PIX_FMT_YUV420P;
    codec->gop_size = 2 * fps; // a key frame every two seconds, for seeking
    codec->thread_count = 1;   // the same bytes on every machine
    codec->flags |= AV_CODEC_FLAG_BITEXACT;
    codec->color_range = AVCOL_RANGE_MPEG;
    codec->colorspace = AVCOL_SPC_BT709;
    codec->color_primaries = AVCOL_PRI_BT709;
    codec->color_trc = AVCOL_TRC_IEC61966_2_1; // the pictures are sRGB
    if (format->oformat->flags & AVFMT_GLOBALHEADER)
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary *options = nullptr;
    if (mp4) {
        av_dict_set(&options, "preset", "veryfast", 0);
        av_dict_set_int(&options, "crf", crf, 0);
    } else {
        codec->bit_rate = 0; // quality alone decides
        av_dict_set_int(&options, "crf", (crf * VP9_CRF_MAX + H264_CRF_MAX / 2) / H264_CRF_MAX, 0);
        av_dict_set(&options, "deadline", "realtime", 0); // else VP9 takes seconds a frame
        av_dict_set_int(&options, "cpu-used", 8, 0);
    }
    const int opened = avcodec_open2(codec, c, &options);
    av_dict_free(&options);
    check(opened, encoder);
    check(avcodec_parameters_from_context(stream->codecpar, codec), "stream parameters");
    stream->time_base = codec->time_base;
    check(avformat_write_header(format, nullptr), "file header");

    convert =
        sws_getContext(width, height, AV_PIX_FMT_RGB24, width, height, AV_PIX_FMT_YUV420P,
                       SWS_BICUBIC | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr, nullptr, nullptr);
    frame = av_frame_alloc();
    packet = av_packet_alloc();
    if (convert == nullptr || frame == nullptr || packet == nullptr)
        throw std::bad_alloc();
    // Full-range RGB in, BT.709 limited-range YUV out, as the stream says.
    const int *bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(convert, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = width;
    frame->height = height;
    check(av_frame_get_buffer(frame, 0), "frame buffer");
}

void video_writer_t::state_t::encode(const AVFrame *f)
{
    check(avcodec_send_frame(codec, f), "encoding");
    for (;;) {
        const int got = avcodec_receive_packet(codec, packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
            return;
        check(got, "encoding");
        packet->duration = 1; // one frame: else MP4 gives the last frame none, and players drop it
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        check(av_interleaved_write_frame(format, packet), "writing");
    }
}

video_writer_t::video_writer_t(video_kind_t kind, int width, int height, int fps, int crf)
    : state_(std::make_unique<state_t>())
{
    if (width < 2 || height < 2 || width % 2 != 0 || height % 2 != 0)
        throw std::invalid_argument("video: width and height must be even");
    if (fps < 1 || crf < 0 || crf > H264_CRF_MAX)
        throw std::invalid_argument("video: fps must be 1 or more and crf 0 to 51");
    state_->open(kind, width, height, fps, crf);
}

video_writer_t::~video_writer_t() = default;

void video_writer_t::add_frame(const rgb_image_t &image)
{
    state_t &s = *state_;
    if (s.finished)
        throw std::runtime_error("video: the file is already finished");
    if (!rgb_image_valid(image) || image.width != s.codec->width || image.height != s.codec->height)
        throw std::invalid_argument("video: a frame must be " + std::to_string(s.codec->width) +
                                    " x " + std::to_string(s.codec->height) + " pixels");
    check(av_frame_make_writable(s.frame), "frame buffer");
    const std::uint8_t *rows[1] = {image.rgb.data()};
    const int stride[1] = {3 * image.width};
    sws_scale(s.convert, rows, stride, 0, image.height, s.frame->data, s.frame->linesize);
    s.frame->pts = s.frames++;
    s.encode(s.frame);
}

std::vector<std::uint8_t> video_writer_t::finish()
{
    state_t &s = *state_;
    if (s.finished)
        throw std::runtime_error("video: the file is already finished");
    s.finished = true;
    s.encode(nullptr); // the frames the encoder still holds
    check(av_write_trailer(s.format), "file trailer");
    avio_flush(s.io);
    return std::move(s.file.bytes);
}
