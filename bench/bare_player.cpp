// The cheapest way to play a disc through libVLC's RV32 video callbacks: one reused buffer, every
// picture discarded. The benchmark compares the program's playback cost with this one's.
//
//   bare_player <disc MRL> <seconds> [libVLC arguments...]
// Prints "cpu_s_per_s=X" for the seconds after the first picture.

#include <vlc/vlc.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

struct Sink {
    std::vector<unsigned char> buffer;
    std::atomic<long> pictures{0};
};

unsigned format(void** opaque, char* chroma, unsigned* width, unsigned* height, unsigned* pitches,
                unsigned* lines) {
    auto* sink = static_cast<Sink*>(*opaque);
    std::memcpy(chroma, "RV32", 4);
    pitches[0] = *width * 4;
    lines[0] = *height;
    sink->buffer.resize(size_t(pitches[0]) * lines[0]);
    return 1;
}

void* lock(void* opaque, void** planes) {
    planes[0] = static_cast<Sink*>(opaque)->buffer.data();
    return nullptr;
}

void display(void* opaque, void*) {
    ++static_cast<Sink*>(opaque)->pictures;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bare_player <disc MRL> <seconds> [libVLC arguments...]\n");
        return 2;
    }
    const int runSeconds = std::max(1, std::atoi(argv[2]));
    std::vector<const char*> arguments{"--no-video-title-show", "--no-osd", "--no-xlib",
                                       "--avcodec-hw=none"};
    for (int i = 3; i < argc; ++i)
        arguments.push_back(argv[i]);
    libvlc_instance_t* vlc = libvlc_new(int(arguments.size()), arguments.data());
    if (!vlc)
        return 2;
    libvlc_log_unset(vlc);
    libvlc_media_t* media = libvlc_media_new_location(vlc, argv[1]);
    libvlc_media_player_t* player = libvlc_media_player_new_from_media(media);
    Sink sink;
    libvlc_video_set_callbacks(player, lock, nullptr, display, &sink);
    libvlc_video_set_format_callbacks(player, format, nullptr);
    libvlc_media_player_play(player);

    using namespace std::chrono;
    const auto giveUp = steady_clock::now() + std::chrono::seconds(10);
    while (sink.pictures == 0 && steady_clock::now() < giveUp)
        std::this_thread::sleep_for(milliseconds(5));
    if (sink.pictures == 0) {
        std::fprintf(stderr, "bare_player: no picture\n");
        return 1;
    }
    const double cpuStart = cpuSeconds();
    const auto start = steady_clock::now();
    for (;;) {
        std::this_thread::sleep_for(milliseconds(100));
        // Keep the 20 s title running for the whole measurement, as the capture runs do.
        if (libvlc_media_player_get_time(player) >= 17000)
            libvlc_media_player_set_position(player, 0.05f);
        if (steady_clock::now() - start >= std::chrono::seconds(runSeconds))
            break;
    }
    const double wall = duration<double>(steady_clock::now() - start).count();
    const double cpu = cpuSeconds() - cpuStart;
    std::printf("cpu_s_per_s=%.4f pictures=%ld\n", cpu / wall, long(sink.pictures));
    std::fflush(stdout);
    std::_Exit(0); // the measurement is done; libVLC's teardown is not part of it
}
