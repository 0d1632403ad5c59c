// What the program costs besides capturing: CPU per second of playback against a bare libVLC
// player on the same disc and audio output, CPU while idle with no disc, and the time from
// starting the program to its main window being painted.
//
//   bench_costs [seconds]     (default 20; STILLBECK_FIXTURE_DIR names the disc folder)
// Children: --playback <seconds>   the main window playing the authored disc
//           --startup <folder>     the program's own start-up, reporting when it is painted

#include "BenchSupport.h"
#include "FixtureDrive.h"
#include "ProcessSupport.h"
#include "app/MainForm.h"
#include "app/Startup.h"
#include "engine/FrameStore.h"
#include "engine/VlcEngine.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

// CPU seconds of each thread of this process by name ("main" for the user-interface thread),
// summed over threads of the same name; for the breakdown printed after the playback figure.
std::map<QByteArray, double> threadCpuSeconds() {
    std::map<QByteArray, double> result;
    const QString pid = QString::number(QCoreApplication::applicationPid());
    for (const QString& tid :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(tid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const qsizetype open = text.indexOf('('), close = text.lastIndexOf(')');
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        if (open < 0 || close < 0 || fields.size() < 13)
            continue;
        const QByteArray name = tid == pid ? QByteArray("main")
                                           : text.mid(open + 1, close - open - 1).replace(' ', '_');
        result[name] += double(fields[11].toLongLong() + fields[12].toLongLong()) /
                        double(sysconf(_SC_CLK_TCK));
    }
    return result;
}

// The main window plays the disc at its design size, as after File > Open DVD; CPU of the whole
// process per second of playback.
int runPlayback(int seconds) {
    const QString iso = QDir(fixtureDir()).filePath("movie.iso");
    QTemporaryDir programDir;
    if (!QFileInfo::exists(iso) || !prepareProgramFolder(programDir.path()))
        return 2;
    platform::setProgramFolder(programDir.path());
    FixtureDrive drive(iso);
    VlcEngine engine(&drive, {QStringLiteral("--aout=adummy"), QStringLiteral("--quiet")});
    SilentBoxes boxes("bench_costs");
    MainFormServices services;
    services.boxes = &boxes;
    services.engine = &engine;
    services.drives = &drive;
    services.freeSpace = [](const QString&, qint64* bytes) {
        *bytes = qint64(1) << 40;
        return true;
    };
    services.showSplash = false;
    MainForm form(services);
    form.startUp();
    form.show();
    form.fileMenu_Click();
    form.dvdsList_Click(0);
    QElapsedTimer wait;
    wait.start();
    while (!(engine.playing() && engine.frameStore()->latest()) && wait.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!engine.frameStore()->latest()) {
        std::fprintf(stderr, "bench_costs: the disc does not play\n");
        return 2;
    }
    const auto threadsStart = threadCpuSeconds();
    const double cpuStart = selfCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        // Keep the 20 s title running, as the bare player does.
        if (engine.time() >= 17)
            engine.setPosition(0.05f);
        if (clock.elapsed() >= qint64(seconds) * 1000)
            QCoreApplication::quit();
    });
    poll.start();
    QCoreApplication::exec();
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    const double cpu = selfCpuSeconds() - cpuStart;
    // Where it went, by thread (libVLC's threads carry the program's name).
    std::fprintf(stderr, "# playback threads (cpu_s_per_s):");
    for (const auto& [name, threadSeconds] : threadCpuSeconds()) {
        const auto before = threadsStart.find(name);
        std::fprintf(stderr, " %s=%.4f", name.constData(),
                     (threadSeconds - (before == threadsStart.end() ? 0.0 : before->second)) /
                         wall);
    }
    // The user-interface thread's wake-ups (position timer, frames) since the program started.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:"))
                std::fprintf(stderr, " main_wakeups_since_start=%s",
                             line.mid(24).trimmed().constData());
    std::fprintf(stderr, "\n");
    std::printf("cpu_s_per_s=%.4f\n", cpu / wall);
    std::fflush(stdout);
    std::_Exit(0); // teardown is not part of the figure
}

// The program's own start-up; prints the monotonic time at which the main window is first
// painted and quits.
class FirstPaint : public QObject {
    bool reported_ = false;

public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (!reported_ && event->type() == QEvent::Paint && widget &&
            qobject_cast<MainForm*>(widget->window())) {
            reported_ = true;
            // The whole window is painted and flushed in this pass; the next turn of the event
            // loop comes after it.
            QTimer::singleShot(0, [] {
                std::printf("shown_ns=%lld\n", (long long)monotonicNs());
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }
};

int runStartup(QApplication& app, const QString& folder) {
    FirstPaint firstPaint;
    app.installEventFilter(&firstPaint);
    return runStillbeck(app, folder);
}

// The children run with their own runtime folder, so their single-instance lock is theirs.
QProcessEnvironment childEnvironment(const QString& runtimeDir) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    return environment;
}

// One line of "key=value" output of a child, or -1.
double childFigure(const QString& program, const QStringList& arguments, const char* key,
                   const QProcessEnvironment& environment, qint64* startNs = nullptr) {
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (startNs)
        *startNs = monotonicNs();
    child.start(program, arguments);
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished();
        return -1;
    }
    const QByteArray prefix = QByteArray(key) + '=';
    for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
        for (const QByteArray& field : line.split(' '))
            if (field.startsWith(prefix))
                return field.mid(prefix.size()).toDouble();
    return -1;
}

int runAll(int seconds) {
    QTemporaryDir work;
    const QString runtimeDir = work.filePath("runtime");
    QDir().mkpath(runtimeDir);
    QFile::setPermissions(runtimeDir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QProcessEnvironment environment = childEnvironment(runtimeDir);
    const QString self = QCoreApplication::applicationFilePath();

    // Playback: ours and the bare player in turns, the lower of two runs each (the machine is
    // shared; both get the same treatment).
    const QString bare = QDir(QCoreApplication::applicationDirPath()).filePath("bare_player");
    const QString mrl = QStringLiteral("dvd://") + QDir(fixtureDir()).filePath("movie.iso");
    std::vector<double> ours, reference;
    for (int run = 0; run < 2; ++run) {
        ours.push_back(childFigure(self, {"--playback", QString::number(seconds)}, "cpu_s_per_s",
                                   environment));
        reference.push_back(childFigure(bare,
                                        {mrl, QString::number(seconds), "--aout=adummy", "--quiet"},
                                        "cpu_s_per_s", environment));
    }
    const double oursBest = *std::min_element(ours.begin(), ours.end());
    const double bareBest = *std::min_element(reference.begin(), reference.end());
    std::printf("playback ours_cpu_s_per_s=%.4f bare_player_cpu_s_per_s=%.4f ratio=%.2f\n",
                oursBest, bareBest, bareBest > 0 ? oursBest / bareBest : 0.0);
    std::fflush(stdout);

    // Idle: the program itself, no disc, measured from outside after it has settled.
    const QString folder = work.filePath("program");
    const QString program = installProgram(folder);
    QProcess app;
    app.setProcessEnvironment(environment);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(program, {});
    double idlePct = -1;
    if (app.waitForStarted()) {
        QThread::sleep(3);
        const double before = processCpuSeconds(app.processId());
        QElapsedTimer clock;
        clock.start();
        QThread::sleep(std::max(5, seconds));
        const double after = processCpuSeconds(app.processId());
        if (before >= 0 && after >= 0)
            idlePct = 100.0 * (after - before) / (double(clock.nsecsElapsed()) / 1e9);
        app.kill();
        app.waitForFinished();
    }
    std::printf("idle cpu_pct=%.2f\n", idlePct);
    std::fflush(stdout);

    // Start-up: warm starts (the first one only warms the caches), median.
    QFile::remove(QDir(runtimeDir).filePath("TarnwickStillbeck.lock"));
    std::vector<double> startups;
    for (int run = 0; run < 8; ++run) {
        qint64 startNs = 0;
        const double shownNs =
            childFigure(self, {"--startup", folder}, "shown_ns", environment, &startNs);
        QFile::remove(QDir(runtimeDir).filePath("TarnwickStillbeck.lock"));
        if (run > 0 && shownNs > 0)
            startups.push_back((shownNs - double(startNs)) / 1e6);
    }
    std::printf("startup_ms_median=%.1f runs=%zu\n", median(startups), startups.size());
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    defaultToOffscreen();
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() >= 3 && arguments[1] == QLatin1String("--playback"))
        return runPlayback(std::max(1, arguments[2].toInt()));
    if (arguments.size() >= 3 && arguments[1] == QLatin1String("--startup"))
        return runStartup(app, arguments[2]);
    const int seconds = arguments.size() >= 2 ? std::max(1, arguments[1].toInt()) : 20;
    return runAll(seconds);
}
