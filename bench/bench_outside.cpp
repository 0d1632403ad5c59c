// What a user's desktop sees of the program, measured from outside it: the time from starting
// the process to its main window being mapped, against an empty Qt window started the same way,
// and the CPU of playback in the window and in full screen, against the bare libVLC player. The
// windows are found through the display server (X11, with a window manager running); the CPU is
// read from /proc. Nothing here is a figure a program reports about itself.
//
//   bench_outside [seconds]     (default 12 s of playback per run; needs DISPLAY)
//   bench_outside startup       the start-up only

#include "FixtureDrive.h"
#include "ProcessSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <memory>
#include <poll.h>
#include <xcb/xcb.h>

namespace {

// Top-level windows as the display server maps them.
class WindowWatch {
public:
    WindowWatch() : connection_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(connection_))
            return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        pidAtom_ = atom("_NET_WM_PID");
        typeAtom_ = atom("_NET_WM_WINDOW_TYPE");
        normalAtom_ = atom("_NET_WM_WINDOW_TYPE_NORMAL");
        stateAtom_ = atom("_NET_WM_STATE");
        fullScreenAtom_ = atom("_NET_WM_STATE_FULLSCREEN");
        xcb_flush(connection_);
    }
    ~WindowWatch() { xcb_disconnect(connection_); }
    bool ok() const { return root_ != 0; }

    // Waits until a normal window of the process is mapped: the monotonic time it was seen and
    // the window, or {-1, 0}.
    std::pair<qint64, xcb_window_t> waitForWindow(qint64 pid, int timeoutMs) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            xcb_generic_event_t* event = xcb_poll_for_event(connection_);
            if (!event) {
                pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
                poll(&fd, 1, 50);
                continue;
            }
            const qint64 seenNs = monotonicNs();
            const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event,
                                                                                   &std::free);
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                continue;
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            // A window manager maps its frame last, the program's window inside it first.
            if (const xcb_window_t found = windowOf(map->window, pid, false, 3))
                return {seenNs, found};
        }
        return {-1, 0};
    }

    // Waits until the process shows a window in full screen (the window manager says so once it
    // has managed it, after the map): the window, or 0.
    xcb_window_t waitForFullScreen(qint64 pid, int timeoutMs) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            if (const xcb_window_t found = windowOf(root_, pid, true, 3))
                return found;
            QThread::msleep(50);
        }
        return 0;
    }

private:
    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, uint16_t(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t result = reply ? reply->atom : 0;
        std::free(reply);
        return result;
    }

    std::vector<uint32_t> property(xcb_window_t window, xcb_atom_t name) {
        auto* reply = xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
            nullptr);
        std::vector<uint32_t> values;
        if (reply && reply->format == 32) {
            const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
            values.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        return values;
    }

    bool matches(xcb_window_t window, qint64 pid, bool fullScreen) {
        const std::vector<uint32_t> owner = property(window, pidAtom_);
        if (owner.empty() || qint64(owner[0]) != pid)
            return false;
        const std::vector<uint32_t> types = property(window, typeAtom_);
        // The first type is the one meant, the others fallbacks (Qt adds "normal" to a splash).
        if (!types.empty() && types.front() != normalAtom_)
            return false; // the splash screen, a message box
        const std::vector<uint32_t> states = property(window, stateAtom_);
        const bool isFullScreen =
            std::find(states.begin(), states.end(), fullScreenAtom_) != states.end();
        return isFullScreen == fullScreen;
    }

    xcb_window_t windowOf(xcb_window_t window, qint64 pid, bool fullScreen, int depth) {
        if (matches(window, pid, fullScreen))
            return window;
        if (depth == 0)
            return 0;
        auto* tree =
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr);
        xcb_window_t found = 0;
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree);
            for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i)
                found = windowOf(children[i], pid, fullScreen, depth - 1);
        }
        std::free(tree);
        return found;
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = 0, typeAtom_ = 0, normalAtom_ = 0, stateAtom_ = 0, fullScreenAtom_ = 0;
};

struct Child {
    explicit Child(const QProcessEnvironment& environment) {
        process.setProcessEnvironment(environment);
        // libVLC's and ALSA's complaints about a machine without sound are not the figures.
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
    }
    ~Child() {
        process.kill();
        process.waitForFinished();
    }
    QProcess process;
};

// Milliseconds from starting the program to its main window being mapped, or -1.
double startupMs(WindowWatch& watch, const QString& program, const QProcessEnvironment& env) {
    Child child(env);
    const qint64 startNs = monotonicNs();
    child.process.start(program, {});
    if (!child.process.waitForStarted())
        return -1;
    const auto [shownNs, window] = watch.waitForWindow(child.process.processId(), 20000);
    return shownNs < 0 ? -1 : double(shownNs - startNs) / 1e6;
}

// CPU seconds per second of a process over `seconds`, after `warmMs`; -1 if it ended.
double cpuPerSecond(qint64 pid, int warmMs, int seconds) {
    QThread::msleep(warmMs);
    const double before = processCpuSeconds(pid);
    QElapsedTimer clock;
    clock.start();
    QThread::sleep(seconds);
    const double after = processCpuSeconds(pid);
    if (before < 0 || after < 0)
        return -1;
    return (after - before) / (double(clock.nsecsElapsed()) / 1e9);
}

// The program plays the disc given on its command line, in its window or, after Ctrl+F4 as a
// user would press it, in full screen.
double playbackCost(WindowWatch& watch, const QString& program, const QString& iso, bool fullScreen,
                    int seconds, const QProcessEnvironment& env) {
    Child child(env);
    child.process.start(program, {iso});
    if (!child.process.waitForStarted())
        return -1;
    const qint64 pid = child.process.processId();
    const auto [shownNs, window] = watch.waitForWindow(pid, 20000);
    if (shownNs < 0)
        return -1;
    if (fullScreen) {
        QThread::msleep(1500);
        const int pressed = QProcess::execute(QStringLiteral("xdotool"),
                                              {"windowactivate", "--sync", QString::number(window),
                                               "key", "--clearmodifiers", "ctrl+F4"});
        if (pressed != 0 || watch.waitForFullScreen(pid, 10000) == 0) {
            std::fprintf(stderr, "bench_outside: full screen did not come\n");
            return -1;
        }
    }
    return cpuPerSecond(pid, 2500, seconds);
}

double bareCost(const QString& iso, int seconds, const QProcessEnvironment& env) {
    Child child(env);
    const QString bare = QDir(QCoreApplication::applicationDirPath()).filePath("bare_player");
    child.process.start(bare, {QStringLiteral("dvd://") + iso, QString::number(seconds + 30)});
    if (!child.process.waitForStarted())
        return -1;
    return cpuPerSecond(child.process.processId(), 4000, seconds);
}

double lowest(const std::vector<double>& values) {
    double best = -1;
    for (const double value : values)
        if (value >= 0 && (best < 0 || value < best))
            best = value;
    return best;
}

double ratioOf(double ours, double reference) {
    return ours >= 0 && reference > 0 ? ours / reference : -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool startupOnly = argc >= 2 && std::strcmp(argv[1], "startup") == 0;
    const int seconds = argc >= 2 && !startupOnly ? std::clamp(std::atoi(argv[1]), 1, 20) : 12;
    WindowWatch watch;
    if (!watch.ok()) {
        std::fprintf(stderr, "bench_outside: no X display (run it through run_outside_bench.sh)\n");
        return 2;
    }
    QTemporaryDir work;
    // In memory where the system has it, as a desktop session's runtime folder is.
    const QTemporaryDir runtime(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/stillbeck-bench-XXXXXX")
                                    : work.filePath(QStringLiteral("runtime-XXXXXX")));
    const QString runtimeDir = runtime.path();
    QFile::setPermissions(runtimeDir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Its own runtime folder: the single-instance lock is the children's alone.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    const QString program = installProgram(work.filePath("program"));
    const QString empty = QDir(QCoreApplication::applicationDirPath()).filePath("empty_qt_window");
    // The longest authored title: the measurement ends well before it does.
    const QString iso = QDir(fixtureDir()).filePath("shuttle.iso");
    if (program.isEmpty() || !QFileInfo::exists(iso)) {
        std::fprintf(stderr, "bench_outside: the program or %s is missing\n", qPrintable(iso));
        return 2;
    }

    // Playback: ours and the bare player in turns, the lower of two runs each.
    for (const bool fullScreen : {false, true}) {
        if (startupOnly)
            break;
        std::vector<double> ours, bare;
        for (int run = 0; run < 2; ++run) {
            ours.push_back(playbackCost(watch, program, iso, fullScreen, seconds, env));
            bare.push_back(bareCost(iso, seconds, env));
        }
        std::printf("playback mode=%s ours_cpu_s_per_s=%.4f bare_player_cpu_s_per_s=%.4f "
                    "ratio=%.2f\n",
                    fullScreen ? "fullscreen" : "window", lowest(ours), lowest(bare),
                    ratioOf(lowest(ours), lowest(bare)));
        std::fflush(stdout);
    }

    // Start-up: warm starts in turns (the first of each only warms the caches), median.
    std::vector<double> ours, reference;
    for (int run = 0; run < 16; ++run) {
        const double oursMs = startupMs(watch, program, env);
        const double emptyMs = startupMs(watch, empty, env);
        if (run > 0 && oursMs >= 0)
            ours.push_back(oursMs);
        if (run > 0 && emptyMs >= 0)
            reference.push_back(emptyMs);
    }
    std::printf("startup ours_ms_median=%.1f empty_qt_window_ms_median=%.1f ratio=%.2f runs=%zu\n",
                median(ours), median(reference), ratioOf(median(ours), median(reference)),
                ours.size());
    return 0;
}
