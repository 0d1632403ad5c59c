#include "engine/VlcStart.h"

#include "engine/MediaEngine.h"

#include <QByteArray>
#include <cstdarg>
#include <cstdio>
#include <vector>
#include <vlc/vlc.h>

namespace {

// STILLBECK_VLC_LOG=1 shows libVLC's warnings and errors on stderr, 2 its debug messages too.
int vlcLogThreshold() {
    static const int threshold = [] {
        const int wanted = qEnvironmentVariableIntValue("STILLBECK_VLC_LOG");
        if (wanted >= 2)
            return int(LIBVLC_DEBUG);
        if (wanted == 1)
            return int(LIBVLC_WARNING);
        return int(LIBVLC_ERROR) + 1;
    }();
    return threshold;
}

void logCallback(void*, int level, const libvlc_log_t* context, const char* format, va_list args) {
    if (level < vlcLogThreshold())
        return;
    const char* module = nullptr;
    const char* file = nullptr;
    unsigned line = 0;
    libvlc_log_get_context(context, &module, &file, &line);
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    std::fprintf(stderr, "vlc[%s] %s\n", module ? module : "?", text);
}

} // namespace

VlcStart::VlcStart(const QStringList& vlcArguments) {
    // The picture goes to our frames only: no title or volume text drawn into it, no decoding
    // on a graphics card whose pictures would have to be copied back anyway. Interlaced
    // pictures (most discs made from TV material) are deinterlaced field by field, so that a
    // still shows neither combing nor the two half-bright copies of a blended frame. Every
    // picture is shown, also one a busy machine decoded late: the history of recent frames that
    // stepping back goes through must not have gaps.
    QStringList arguments{QStringLiteral("--no-video-title-show"),
                          QStringLiteral("--no-osd"),
                          QStringLiteral("--no-xlib"),
                          QStringLiteral("--avcodec-hw=none"),
                          QStringLiteral("--no-snapshot-preview"),
                          QStringLiteral("--deinterlace=-1"),
                          QStringLiteral("--deinterlace-mode=yadif"),
                          QStringLiteral("--no-drop-late-frames"),
                          QStringLiteral("--no-skip-frames")};
    arguments += vlcArguments;
    thread_ = std::thread([this, arguments] { start(arguments); });
}

VlcStart::~VlcStart() {
    if (thread_.joinable())
        thread_.join();
    if (taken_)
        return;
    if (handles_.player)
        libvlc_media_player_release(handles_.player);
    if (handles_.vlc)
        libvlc_release(handles_.vlc);
}

void VlcStart::start(const QStringList& arguments) {
    std::vector<QByteArray> storage;
    std::vector<const char*> argv;
    for (const QString& argument : arguments)
        storage.push_back(argument.toUtf8());
    for (const QByteArray& argument : storage)
        argv.push_back(argument.constData());
    handles_.vlc = libvlc_new(int(argv.size()), argv.data());
    if (!handles_.vlc) {
        failure_ = "libVLC cannot start";
        return;
    }
    libvlc_log_set(handles_.vlc, logCallback, nullptr);
    handles_.player = libvlc_media_player_new(handles_.vlc);
    if (!handles_.player)
        failure_ = "libVLC cannot create a media player";
}

VlcHandles VlcStart::take() {
    if (thread_.joinable())
        thread_.join();
    if (taken_)
        throw EngineError("libVLC's start was taken already");
    if (failure_)
        throw EngineError(failure_);
    taken_ = true;
    return handles_;
}
