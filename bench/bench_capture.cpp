// Continuous capture under load: the real engine plays the authored disc while a 10 ms precise
// timer asks for one image per tick, as the main window's position timer does. One child
// process per format (so each reports its own peak memory), then ffmpeg extracts the same
// title's frames as a reference for the encoding cost.
//
//   bench_capture [seconds]            (default 20; STILLBECK_FIXTURE_DIR names the disc folder,
//                                       STILLBECK_BENCH_OUTPUT where the images go)

#include "BenchSupport.h"
#include "FixtureDrive.h"
#include "app/EngineAssembly.h"
#include "capture/CaptureController.h"
#include "capture/CaptureView.h"
#include "capture/SnapshotWriter.h"
#include "engine/FrameStore.h"
#include "engine/VlcEngine.h"
#include "player/EngineOptions.h"
#include "settings/Settings.h"
#include "video/VideoStage.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

// The buttons of the capture modes, which the benchmark does not have.
class NoButtons : public CaptureView {
public:
    void continuousCaptureChanged(bool) override {}
    void timedCaptureChanged(bool) override {}
};

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

// Where the images go: STILLBECK_BENCH_OUTPUT if set (e.g. a RAM disk, to leave the file
// system's own cost out of both sides), else beside the benchmark. Every run's images stay until
// all runs are done: ext4 passes over recently deleted inodes when it creates a file, so removing
// one run's thousands of images would make the next run's files dearer to create.
QString outputRoot() {
    const QString chosen = qEnvironmentVariable("STILLBECK_BENCH_OUTPUT");
    const QString root =
        !chosen.isEmpty() ? chosen
                          : QDir(QCoreApplication::applicationDirPath()).filePath("capture-output");
    QDir().mkpath(root);
    return root;
}

// One format, in this process, writing into `outputFolder`. Prints the capture line and a "#" line
// for the parent.
int runCapture(const QString& format, int seconds, const QString& outputFolder) {
    const QString iso = QDir(fixtureDir()).filePath("movie.iso");
    if (!QFileInfo::exists(iso)) {
        std::fprintf(stderr, "bench_capture: %s is missing\n", qPrintable(iso));
        return 2;
    }
    if (!QDir().mkpath(outputFolder)) {
        std::fprintf(stderr, "bench_capture: cannot create %s\n", qPrintable(outputFolder));
        return 2;
    }
    FixtureDrive drive(iso);
    EngineAssembly assembly(&drive, {QStringLiteral("--aout=adummy"), QStringLiteral("--quiet")});
    VlcEngine& engine = assembly.engine();
    VideoStage stage;
    stage.resize(768, 576);
    stage.setEngine(&engine);
    stage.show();

    // The images go where the window would put them: "<folder>/MOVIE Images".
    Settings& settings = Settings::current();
    settings = Settings::defaults();
    settings.snapshotsPath = outputFolder + QDir::separator();
    settings.imageFormat = format == QLatin1String("PNG") ? 0 : 1;
    const QString label = QStringLiteral("MOVIE");
    engine.addTarget(QStringLiteral("dvd://D:"), buildEngineOptions(settings, label), 2, 0);
    // Requests go through the capture controller, as the window's position tick sends them.
    SilentBoxes boxes("bench_capture");
    NoButtons buttons;
    CaptureController capture(engine, boxes, buttons, {}, {});
    capture.setDiscLabel(label);
    engine.play();
    QElapsedTimer wait;
    wait.start();
    while (!(engine.playing() && engine.frameStore()->latest()) && wait.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!engine.playing()) {
        std::fprintf(stderr, "bench_capture: the disc does not play\n");
        return 2;
    }

    std::vector<double> gapsMs, callsUs;
    gapsMs.reserve(size_t(seconds) * 110);
    callsUs.reserve(size_t(seconds) * 110);
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (sinceTick.isValid())
            gapsMs.push_back(double(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.start();
        QElapsedTimer call;
        call.start();
        capture.snapshot();
        callsUs.push_back(double(call.nsecsElapsed()) / 1e3);
        // Keep the 20 s title running for the whole measurement.
        if (engine.time() >= 17)
            engine.setPosition(0.05f);
        if (clock.elapsed() >= qint64(seconds) * 1000) {
            timer.stop();
            QCoreApplication::quit();
        }
    });
    // The whole process's CPU while capturing: decoding, painting, the ticks, scaling, encoding
    // and writing, until the last queued image is on disk.
    const double processCpuStart = selfCpuSeconds();
    clock.start();
    timer.start();
    QCoreApplication::exec();

    SnapshotWriter* writer = &assembly.writer();
    writer->waitForIdle(600000);
    const double processCpu = selfCpuSeconds() - processCpuStart;
    const double elapsedS = double(clock.elapsed()) / 1000.0;
    const SnapshotWriter::Counters counters = writer->counters();
    engine.stop();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const quint64 lost = counters.requested - counters.written;
    std::printf("capture format=%s requested=%llu written=%llu lost=%llu images_per_s=%.1f "
                "tick_gap_p99_ms=%.2f tick_gap_max_ms=%.2f ui_call_p99_us=%.1f "
                "peak_rss_mb=%.1f\n",
                qPrintable(format), (unsigned long long)counters.requested,
                (unsigned long long)counters.written, (unsigned long long)lost,
                double(counters.written) / elapsedS, percentile(gapsMs, 0.99),
                gapsMs.empty() ? 0.0 : *std::max_element(gapsMs.begin(), gapsMs.end()),
                percentile(callsUs, 0.99), double(usage.ru_maxrss) / 1024.0);
    std::printf("# encoded=%llu encode_cpu_s=%.4f process_cpu_s=%.4f dropped=%llu failed=%llu "
                "no_frame=%llu\n",
                (unsigned long long)counters.encoded, double(counters.encodeCpuNs) / 1e9,
                processCpu, (unsigned long long)counters.dropped,
                (unsigned long long)counters.failed, (unsigned long long)counters.noFrame);
    std::fflush(stdout);
    return 0;
}

// ffmpeg decodes the title and writes every frame at 768x576; its CPU time per image.
double ffmpegImagesPerCpuSecond(const QString& format, const QString& outputFolder) {
    const QString vob = QDir(fixtureDir()).filePath("DVD/VIDEO_TS/VTS_01_1.VOB");
    QDir().mkpath(outputFolder);
    const bool png = format == QLatin1String("PNG");
    QStringList arguments{"-nostdin", "-loglevel", "error", "-i",
                          vob,        "-an",       "-vf",   "scale=768:576"};
    if (png)
        arguments << "-compression_level"
                  << "1"; // the zlib level our writer uses
    else
        arguments << "-qscale:v"
                  << "3";
    arguments << QDir(outputFolder).filePath(png ? "%05d.png" : "%05d.jpg");
    const double before = childrenCpuSeconds();
    const int status = QProcess::execute(QStringLiteral("ffmpeg"), arguments);
    const double cpu = childrenCpuSeconds() - before;
    const qsizetype images = QDir(outputFolder).entryList(QDir::Files).size();
    if (status != 0 || images == 0 || cpu <= 0)
        return 0;
    return double(images) / cpu;
}

int runAll(int seconds) {
    QTemporaryDir output(QDir(outputRoot()).filePath("run-XXXXXX"));
    if (!output.isValid()) {
        std::fprintf(stderr, "bench_capture: cannot create a folder in %s\n",
                     qPrintable(outputRoot()));
        return 1;
    }
    for (const QString format : {QStringLiteral("PNG"), QStringLiteral("JPG")}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--format"), format, QString::number(seconds),
                     output.filePath(QStringLiteral("ours-") + format)});
        if (!child.waitForFinished(-1) || child.exitCode() != 0) {
            std::fprintf(stderr, "bench_capture: the %s run failed\n", qPrintable(format));
            return 1;
        }
        double encoded = 0, encodeCpu = 0, processCpu = 0;
        for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
            if (line.startsWith("# ")) {
                for (const QByteArray& field : line.mid(2).split(' ')) {
                    if (field.startsWith("encoded="))
                        encoded = field.mid(8).toDouble();
                    else if (field.startsWith("encode_cpu_s="))
                        encodeCpu = field.mid(13).toDouble();
                    else if (field.startsWith("process_cpu_s="))
                        processCpu = field.mid(14).toDouble();
                }
            } else if (!line.isEmpty()) {
                std::printf("%s\n", line.constData());
            }
        }
        // Encode-only: the writer's scaling and encoding. Whole process: everything the program
        // spends while capturing, per distinct image, like ffmpeg's whole process.
        const double encodeOnly = encodeCpu > 0 ? encoded / encodeCpu : 0;
        const double wholeProcess = processCpu > 0 ? encoded / processCpu : 0;
        const double reference =
            ffmpegImagesPerCpuSecond(format, output.filePath(QStringLiteral("ffmpeg-") + format));
        std::printf("reference tool=ffmpeg format=%s images_per_cpu_s=%.1f\n", qPrintable(format),
                    reference);
        std::printf("ours format=%s images_per_cpu_s_whole_process=%.1f "
                    "images_per_cpu_s_encode_only=%.1f\n",
                    qPrintable(format), wholeProcess, encodeOnly);
        std::printf("ratio format=%s ours_images_per_cpu_s_whole_process_over_ffmpeg=%.2f "
                    "ours_encode_only_over_ffmpeg=%.2f\n",
                    qPrintable(format), reference > 0 ? wholeProcess / reference : 0.0,
                    reference > 0 ? encodeOnly / reference : 0.0);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    defaultToOffscreen();
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() >= 5 && arguments[1] == QLatin1String("--format"))
        return runCapture(arguments[2].toUpper(), std::max(1, arguments[3].toInt()), arguments[4]);
    const int seconds = arguments.size() >= 2 ? std::max(1, arguments[1].toInt()) : 20;
    return runAll(seconds);
}
