// Exports a whole title as the program's Tools menu does, then has ffmpeg do the same job on the
// same title's VOB files in one command, and prints both:
//   bench_export <folder holding VIDEO_TS> <every_1s|every_frame|sheet> <scratch folder>
// "export mode=... title_s=... images=... wall_s=... cpu_s=... realtime_x=... ffmpeg_wall_s=...
// ffmpeg_cpu_s=... ratio_wall=... ratio_cpu=... peak_rss_mb=... ui_longest_tick_ms=..."; ratios
// above 1 mean the export is the faster; the last figure is the longest gap between the 5 ms
// ticks of the thread that started it.
#include "BenchSupport.h"
#include "ProcessSupport.h"
#include "export/DiscReader.h"
#include "export/TitleExport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

struct Run {
    double wall = 0, cpu = 0;
    quint64 images = 0;
};

// ffmpeg on the title set's VOB files (the title is the disc's only one in the authored discs).
Run ffmpegRun(const QString& videoTs, const QString& mode, QSize size, const QString& out) {
    QStringList vobs;
    for (const QString& name :
         QDir(videoTs).entryList({QStringLiteral("VTS_01_*.VOB")}, QDir::Files, QDir::Name))
        if (!name.endsWith(QLatin1String("_0.VOB")))
            vobs << QDir(videoTs).filePath(name);
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    QString filter =
        QStringLiteral("yadif=deint=interlaced,scale=%1:%2").arg(size.width()).arg(size.height());
    QStringList extra;
    if (mode == QLatin1String("every_1s"))
        filter += QStringLiteral(",fps=1");
    else if (mode == QLatin1String("sheet"))
        // 48 thumbnails of a 6x8 sheet: one picture of every length/48, tiled.
        filter = QStringLiteral("yadif=deint=interlaced,select='not(mod(n\\,%1))',"
                                "scale=320:240,tile=6x8")
                     .arg(qMax(1, int(qgetenv("BENCH_SHEET_STEP").toInt())));
    if (mode == QLatin1String("sheet"))
        extra << QStringLiteral("-frames:v") << QStringLiteral("1");
    const QStringList arguments = QStringList{QStringLiteral("-nostdin"),
                                              QStringLiteral("-hide_banner"),
                                              QStringLiteral("-loglevel"),
                                              QStringLiteral("error"),
                                              QStringLiteral("-i"),
                                              QStringLiteral("concat:") + vobs.join('|'),
                                              QStringLiteral("-an"),
                                              QStringLiteral("-sn"),
                                              QStringLiteral("-vf"),
                                              filter,
                                              QStringLiteral("-fps_mode"),
                                              QStringLiteral("passthrough"),
                                              QStringLiteral("-compression_level"),
                                              QStringLiteral("1")} +
                                  extra +
                                  QStringList{QDir(out).filePath(QStringLiteral("%05d.png"))};
    Run run;
    const double cpuBefore = childrenCpuSeconds();
    const qint64 start = monotonicNs();
    QProcess::execute(QStringLiteral("ffmpeg"), arguments);
    run.wall = double(monotonicNs() - start) / 1e9;
    run.cpu = childrenCpuSeconds() - cpuBefore;
    run.images = quint64(QDir(out).entryList({QStringLiteral("*.png")}, QDir::Files).size());
    return run;
}

} // namespace

int main(int argc, char** argv) {
    defaultToOffscreen(); // the contact sheet draws text, which needs a screen's fonts
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_export <folder holding VIDEO_TS> "
                             "<every_1s|every_frame|sheet> <scratch folder>\n");
        return 2;
    }
    const QString medium = QString::fromLocal8Bit(argv[1]);
    const QString mode = QString::fromLatin1(argv[2]);
    const QString scratch = QString::fromLocal8Bit(argv[3]);

    QString detail;
    auto reader = DiscReader::open(medium, &detail);
    const auto plan = reader ? reader->plan(1, 1, 0, &detail) : std::nullopt;
    if (!plan) {
        std::fprintf(stderr, "bench_export: %s\n", qPrintable(detail));
        return 1;
    }
    const double titleSeconds = double(plan->frames) / plan->frameRate;

    ExportRequest request;
    request.medium = medium;
    request.discLabel = QStringLiteral("BENCH");
    request.folder = QDir(scratch).filePath(QStringLiteral("ours"));
    request.prefix = QStringLiteral("IMG_");
    request.mode = mode == QLatin1String("every_frame") ? ExportMode::EveryFrame
                   : mode == QLatin1String("sheet")     ? ExportMode::SheetOnly
                                                        : ExportMode::EveryInterval;
    request.intervalSeconds = 1;
    request.sheetLayout = SheetLayout{6, 8, 1920};
    QDir(request.folder).removeRecursively();
    QDir().mkpath(request.folder);
    // Run as the window runs it: in the background, with this thread's event loop ticking every
    // 5 ms, so the longest gap between ticks is how long the export held the user interface up.
    TitleExport exporter;
    ExportReport report;
    QEventLoop loop;
    QObject::connect(&exporter, &TitleExport::finished, &loop, [&](const ExportReport& ended) {
        report = ended;
        loop.quit();
    });
    QTimer tick;
    QElapsedTimer sinceTick;
    qint64 longestStallMs = 0;
    QObject::connect(&tick, &QTimer::timeout, &loop,
                     [&] { longestStallMs = qMax(longestStallMs, sinceTick.restart()); });
    const double cpuBefore = selfCpuSeconds();
    const qint64 start = monotonicNs();
    tick.start(5);
    sinceTick.start();
    exporter.start(request);
    loop.exec();
    const double wall = double(monotonicNs() - start) / 1e9;
    const double cpu = selfCpuSeconds() - cpuBefore;
    if (report.outcome != ExportReport::Outcome::Done) {
        std::fprintf(stderr, "bench_export: the export failed: %s %s\n", qPrintable(report.detail),
                     qPrintable(report.reason));
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    qputenv("BENCH_SHEET_STEP", QByteArray::number(qMax<qint64>(1, plan->frames / 48)));
    const Run ffmpeg =
        ffmpegRun(QDir(medium).filePath(QStringLiteral("VIDEO_TS")), mode, plan->displaySize,
                  QDir(scratch).filePath(QStringLiteral("ffmpeg")));
    std::printf("export mode=%s title_s=%.1f images=%llu wall_s=%.2f cpu_s=%.2f realtime_x=%.1f "
                "ffmpeg_images=%llu ffmpeg_wall_s=%.2f ffmpeg_cpu_s=%.2f ratio_wall=%.2f "
                "ratio_cpu=%.2f peak_rss_mb=%.0f ui_longest_tick_ms=%lld\n",
                qPrintable(mode), titleSeconds, static_cast<unsigned long long>(report.images),
                wall, cpu, titleSeconds / wall, static_cast<unsigned long long>(ffmpeg.images),
                ffmpeg.wall, ffmpeg.cpu, ffmpeg.wall / wall, ffmpeg.cpu / cpu,
                double(usage.ru_maxrss) / 1024.0, static_cast<long long>(longestStallMs));
    return 0;
}
