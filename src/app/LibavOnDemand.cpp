// libav's libraries (libavformat, libavcodec, libavfilter, libswscale, libavutil), loaded when the
// program first calls them: a title export, or the first picture of playback converted to RGB.
//
// Linked the ordinary way they bring in well over a hundred libraries of their own (codecs,
// network, subtitles, speech, video acceleration), and the dynamic loader maps and relocates all
// of them before main() runs: tens of milliseconds of every start. Only the program links this
// file (with --as-needed, so the libraries drop out of its start); each function it calls is
// defined here and forwards to the library opened on its first call. A library that cannot be
// opened makes its functions fail as libav reports failure (a negative error, a null pointer),
// so that the caller reports it instead of crashing.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/frame.h>
#include <libavutil/mathematics.h>
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

#include <cerrno>
#include <cstdio>
#include <dlfcn.h>
#include <type_traits>

// The libraries mark some functions "warn_unused_result"; their types are only forwarded here.
#pragma GCC diagnostic ignored "-Wignored-attributes"

namespace {

enum class Library { Format, Codec, Filter, Scale, Util };

void* opened(const char* name) {
    void* const handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        std::fprintf(stderr, "stillbeck: %s\n", dlerror());
    return handle;
}

// The major versions are the ones compiled against: the layouts of the structures the program
// reads directly belong to them.
void* handleOf(Library library) {
    switch (library) {
    case Library::Format: {
        static void* const handle =
            opened("libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR));
        return handle;
    }
    case Library::Codec: {
        static void* const handle = opened("libavcodec.so." AV_STRINGIFY(LIBAVCODEC_VERSION_MAJOR));
        return handle;
    }
    case Library::Filter: {
        static void* const handle =
            opened("libavfilter.so." AV_STRINGIFY(LIBAVFILTER_VERSION_MAJOR));
        return handle;
    }
    case Library::Scale: {
        static void* const handle = opened("libswscale.so." AV_STRINGIFY(LIBSWSCALE_VERSION_MAJOR));
        return handle;
    }
    case Library::Util: {
        static void* const handle = opened("libavutil.so." AV_STRINGIFY(LIBAVUTIL_VERSION_MAJOR));
        return handle;
    }
    }
    return nullptr;
}

template <typename Result> Result failed() {
    if constexpr (std::is_pointer_v<Result>)
        return nullptr;
    else if constexpr (std::is_integral_v<Result>)
        return Result(AVERROR(ENOSYS));
    else if constexpr (!std::is_void_v<Result>)
        return Result{};
}

// Calls the library's own function named `name`, of the type of `Own` (this file's definition).
template <auto Own, typename... Args>
auto forward(Library library, const char* name, Args... args) {
    using Function = decltype(Own);
    static const auto real = [&] {
        void* const handle = handleOf(library);
        return handle ? reinterpret_cast<Function>(dlsym(handle, name)) : nullptr;
    }();
    using Result = std::invoke_result_t<Function, Args...>;
    if (!real)
        return failed<Result>();
    return real(args...);
}

} // namespace

#define LIBAV_FORWARD(library, name, ...) forward<&name>(Library::library, #name, __VA_ARGS__)
#define LIBAV_FORWARD0(library, name) forward<&name>(Library::library, #name)

extern "C" {

// libavformat
AVFormatContext* avformat_alloc_context() {
    return LIBAV_FORWARD0(Format, avformat_alloc_context);
}
int avformat_open_input(AVFormatContext** ps, const char* url, const AVInputFormat* fmt,
                        AVDictionary** options) {
    return LIBAV_FORWARD(Format, avformat_open_input, ps, url, fmt, options);
}
int avformat_find_stream_info(AVFormatContext* ic, AVDictionary** options) {
    return LIBAV_FORWARD(Format, avformat_find_stream_info, ic, options);
}
void avformat_close_input(AVFormatContext** s) {
    LIBAV_FORWARD(Format, avformat_close_input, s);
}
int avformat_flush(AVFormatContext* s) {
    return LIBAV_FORWARD(Format, avformat_flush, s);
}
const AVInputFormat* av_find_input_format(const char* short_name) {
    return LIBAV_FORWARD(Format, av_find_input_format, short_name);
}
int av_find_best_stream(AVFormatContext* ic, enum AVMediaType type, int wanted_stream_nb,
                        int related_stream, const AVCodec** decoder_ret, int flags) {
    return LIBAV_FORWARD(Format, av_find_best_stream, ic, type, wanted_stream_nb, related_stream,
                         decoder_ret, flags);
}
int av_read_frame(AVFormatContext* s, AVPacket* pkt) {
    return LIBAV_FORWARD(Format, av_read_frame, s, pkt);
}
AVIOContext* avio_alloc_context(unsigned char* buffer, int buffer_size, int write_flag,
                                void* opaque,
                                int (*read_packet)(void* opaque, uint8_t* buf, int buf_size),
                                int (*write_packet)(void* opaque, uint8_t* buf, int buf_size),
                                int64_t (*seek)(void* opaque, int64_t offset, int whence)) {
    return LIBAV_FORWARD(Format, avio_alloc_context, buffer, buffer_size, write_flag, opaque,
                         read_packet, write_packet, seek);
}
void avio_context_free(AVIOContext** s) {
    LIBAV_FORWARD(Format, avio_context_free, s);
}
int64_t avio_seek(AVIOContext* s, int64_t offset, int whence) {
    return LIBAV_FORWARD(Format, avio_seek, s, offset, whence);
}

// libavcodec
AVCodecContext* avcodec_alloc_context3(const AVCodec* codec) {
    return LIBAV_FORWARD(Codec, avcodec_alloc_context3, codec);
}
void avcodec_free_context(AVCodecContext** avctx) {
    LIBAV_FORWARD(Codec, avcodec_free_context, avctx);
}
int avcodec_parameters_to_context(AVCodecContext* codec, const AVCodecParameters* par) {
    return LIBAV_FORWARD(Codec, avcodec_parameters_to_context, codec, par);
}
int avcodec_open2(AVCodecContext* avctx, const AVCodec* codec, AVDictionary** options) {
    return LIBAV_FORWARD(Codec, avcodec_open2, avctx, codec, options);
}
int avcodec_send_packet(AVCodecContext* avctx, const AVPacket* avpkt) {
    return LIBAV_FORWARD(Codec, avcodec_send_packet, avctx, avpkt);
}
int avcodec_receive_frame(AVCodecContext* avctx, AVFrame* frame) {
    return LIBAV_FORWARD(Codec, avcodec_receive_frame, avctx, frame);
}
void avcodec_flush_buffers(AVCodecContext* avctx) {
    LIBAV_FORWARD(Codec, avcodec_flush_buffers, avctx);
}
AVPacket* av_packet_alloc() {
    return LIBAV_FORWARD0(Codec, av_packet_alloc);
}
void av_packet_free(AVPacket** pkt) {
    LIBAV_FORWARD(Codec, av_packet_free, pkt);
}
void av_packet_unref(AVPacket* pkt) {
    LIBAV_FORWARD(Codec, av_packet_unref, pkt);
}

// libavfilter
const AVFilter* avfilter_get_by_name(const char* name) {
    return LIBAV_FORWARD(Filter, avfilter_get_by_name, name);
}
AVFilterGraph* avfilter_graph_alloc() {
    return LIBAV_FORWARD0(Filter, avfilter_graph_alloc);
}
void avfilter_graph_free(AVFilterGraph** graph) {
    LIBAV_FORWARD(Filter, avfilter_graph_free, graph);
}
int avfilter_graph_create_filter(AVFilterContext** filt_ctx, const AVFilter* filt, const char* name,
                                 const char* args, void* opaque, AVFilterGraph* graph_ctx) {
    return LIBAV_FORWARD(Filter, avfilter_graph_create_filter, filt_ctx, filt, name, args, opaque,
                         graph_ctx);
}
int avfilter_link(AVFilterContext* src, unsigned srcpad, AVFilterContext* dst, unsigned dstpad) {
    return LIBAV_FORWARD(Filter, avfilter_link, src, srcpad, dst, dstpad);
}
int avfilter_graph_config(AVFilterGraph* graphctx, void* log_ctx) {
    return LIBAV_FORWARD(Filter, avfilter_graph_config, graphctx, log_ctx);
}
int av_buffersrc_add_frame_flags(AVFilterContext* buffer_src, AVFrame* frame, int flags) {
    return LIBAV_FORWARD(Filter, av_buffersrc_add_frame_flags, buffer_src, frame, flags);
}
int av_buffersink_get_frame(AVFilterContext* ctx, AVFrame* frame) {
    return LIBAV_FORWARD(Filter, av_buffersink_get_frame, ctx, frame);
}
AVRational av_buffersink_get_time_base(const AVFilterContext* ctx) {
    return LIBAV_FORWARD(Filter, av_buffersink_get_time_base, ctx);
}

// libswscale
SwsContext* sws_getCachedContext(SwsContext* context, int srcW, int srcH,
                                 enum AVPixelFormat srcFormat, int dstW, int dstH,
                                 enum AVPixelFormat dstFormat, int flags, SwsFilter* srcFilter,
                                 SwsFilter* dstFilter, const double* param) {
    return LIBAV_FORWARD(Scale, sws_getCachedContext, context, srcW, srcH, srcFormat, dstW, dstH,
                         dstFormat, flags, srcFilter, dstFilter, param);
}
int sws_scale(SwsContext* c, const uint8_t* const srcSlice[], const int srcStride[], int srcSliceY,
              int srcSliceH, uint8_t* const dst[], const int dstStride[]) {
    return LIBAV_FORWARD(Scale, sws_scale, c, srcSlice, srcStride, srcSliceY, srcSliceH, dst,
                         dstStride);
}
void sws_freeContext(SwsContext* swsContext) {
    LIBAV_FORWARD(Scale, sws_freeContext, swsContext);
}

// libavutil
AVFrame* av_frame_alloc() {
    return LIBAV_FORWARD0(Util, av_frame_alloc);
}
AVFrame* av_frame_clone(const AVFrame* src) {
    return LIBAV_FORWARD(Util, av_frame_clone, src);
}
void av_frame_free(AVFrame** frame) {
    LIBAV_FORWARD(Util, av_frame_free, frame);
}
int av_frame_ref(AVFrame* dst, const AVFrame* src) {
    return LIBAV_FORWARD(Util, av_frame_ref, dst, src);
}
void av_frame_unref(AVFrame* frame) {
    LIBAV_FORWARD(Util, av_frame_unref, frame);
}
void* av_malloc(size_t size) {
    return LIBAV_FORWARD(Util, av_malloc, size);
}
void av_freep(void* ptr) {
    LIBAV_FORWARD(Util, av_freep, ptr);
}
int64_t av_rescale_q(int64_t a, AVRational bq, AVRational cq) {
    return LIBAV_FORWARD(Util, av_rescale_q, a, bq, cq);
}

} // extern "C"
