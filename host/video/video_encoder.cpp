// The video encoder over FFmpeg's libraries: the table of video_module.h,
// linked into a test or built as the module video.so.
#include "host/video/video_module.h"
#include "host/video/video_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cerrno>
#include <new>
#include <stdexcept>

#include "host/io/seekable_file.h"

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

// Where the muxer's bytes go: a file it may go back into, or a pipe.
struct video_out_t {
    seekable_file_t file;
    bool seekable;
};

int write_packet(void *opaque, std::uint8_t *data, int n)
{
    const auto *out = static_cast<video_out_t *>(opaque);
    if (seekable_write(out->file, data, static_cast<std::size_t>(n)))
        return n;
    return AVERROR(out->file.out->err);
}

std::int64_t seek_to(void *opaque, std::int64_t offset, int whence)
{
    const auto *out = static_cast<video_out_t *>(opaque);
    std::int64_t at = -1;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: at = seekable_size(out->file); break;
    case SEEK_SET:
    case SEEK_CUR:
    case SEEK_END: at = seekable_seek(out->file, offset, whence & ~AVSEEK_FORCE); break;
    default: return AVERROR(EINVAL);
    }
    return at >= 0 ? at : AVERROR(out->file.out->err != 0 ? out->file.out->err : EINVAL);
}

} // namespace

struct video_encoder_t {
    video_out_t out;
    bool mp4 = false;
    AVFormatContext *format = nullptr;
    AVIOContext *io = nullptr;
    AVCodecContext *codec = nullptr;
    AVStream *stream = nullptr;
    SwsContext *convert = nullptr;
    AVFrame *frame = nullptr;
    AVPacket *packet = nullptr;
    std::int64_t frames = 0;
    bool finished = false;
    bool header_written = false;

    ~video_encoder_t()
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
    void write_header();
    void encode(const AVFrame *f);
};

void video_encoder_t::open(video_kind_t kind, int width, int height, int fps, int crf)
{
    av_log_set_level(AV_LOG_ERROR); // the encoders' chatter is not for our users
    mp4 = kind == video_kind_t::mp4;
    check(avformat_alloc_output_context2(&format, nullptr, mp4 ? "mp4" : "webm", nullptr),
          "no muxer");
    format->flags |= AVFMT_FLAG_BITEXACT | AVFMT_FLAG_CUSTOM_IO;
    auto *buffer = static_cast<std::uint8_t *>(av_malloc(IO_BUFFER_BYTES));
    io = buffer ? avio_alloc_context(buffer, IO_BUFFER_BYTES, 1, &out, nullptr, write_packet,
                                     out.seekable ? seek_to : nullptr)
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

// At the first frame, so that a video without frames writes nothing. An MP4
// that cannot be gone back into carries its index in each fragment.
void video_encoder_t::write_header()
{
    AVDictionary *options = nullptr;
    if (mp4 && !out.seekable)
        av_dict_set(&options, "movflags", "frag_keyframe+empty_moov+default_base_moof", 0);
    const int written = avformat_write_header(format, &options);
    av_dict_free(&options);
    check(written, "file header");
    header_written = true;
}

void video_encoder_t::encode(const AVFrame *f)
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

namespace {

void open_video(video_kind_t kind, int width, int height, int fps, int crf, fd_sink_t *out,
                bool seekable, video_encoder_t **video)
{
    auto state = std::make_unique<video_encoder_t>();
    state->out = {seekable ? seekable_file(out) : seekable_file_t{out, 0}, seekable};
    if (width < 2 || height < 2 || width % 2 != 0 || height % 2 != 0)
        throw std::invalid_argument("video: width and height must be even");
    if (fps < 1 || crf < 0 || crf > H264_CRF_MAX)
        throw std::invalid_argument("video: fps must be 1 or more and crf 0 to 51");
    state->open(kind, width, height, fps, crf);
    *video = state.release();
}

void add_frame(video_encoder_t &s, const std::uint8_t *rgb, int width, int height,
               std::uint64_t bytes)
{
    if (s.finished)
        throw std::runtime_error("video: the file is already finished");
    // The codec's sizes are positive, so equal sizes and 3 bytes a pixel make a valid picture.
    if (width != s.codec->width || height != s.codec->height ||
        bytes != 3 * static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height))
        throw std::invalid_argument("video: a frame must be " + std::to_string(s.codec->width) +
                                    " x " + std::to_string(s.codec->height) + " pixels");
    if (!s.header_written)
        s.write_header();
    check(av_frame_make_writable(s.frame), "frame buffer");
    const std::uint8_t *rows[1] = {rgb};
    const int stride[1] = {3 * width};
    sws_scale(s.convert, rows, stride, 0, height, s.frame->data, s.frame->linesize);
    s.frame->pts = s.frames++;
    s.encode(s.frame);
}

void finish(video_encoder_t &s)
{
    if (s.finished)
        throw std::runtime_error("video: the file is already finished");
    s.finished = true;
    if (!s.header_written)
        return;
    s.encode(nullptr); // the frames the encoder still holds
    check(av_write_trailer(s.format), "file trailer");
    avio_flush(s.io);
    check(s.io->error, "writing");
}

const video_module_t VIDEO_ENCODER{
    VIDEO_MODULE_ABI,
    [](std::int32_t kind, std::int32_t width, std::int32_t height, std::int32_t fps,
       std::int32_t crf, fd_sink_t *out, std::int32_t seekable, video_encoder_t **video,
       module_error_t *error) {
        return module_call(error, [&] {
            open_video(static_cast<video_kind_t>(kind), width, height, fps, crf, out, seekable != 0,
                       video);
        });
    },
    [](video_encoder_t *video, const std::uint8_t *rgb, std::int32_t width, std::int32_t height,
       std::uint64_t bytes, module_error_t *error) {
        return module_call(error, [&] { add_frame(*video, rgb, width, height, bytes); });
    },
    [](video_encoder_t *video, module_error_t *error) {
        return module_call(error, [&] { finish(*video); });
    },
    [](video_encoder_t *video) { delete video; },
};

} // namespace

const void *pc_snake_video_module() { return &VIDEO_ENCODER; }
