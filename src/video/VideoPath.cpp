#include "video/VideoPath.h"

#include "platform/GraphicsDevice.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <optional>

namespace {
Q_LOGGING_CATEGORY(videoLog, "stillbeck.video")

bool headless(const QString& platform) {
    return platform == u"offscreen" || platform == u"minimal" || platform == u"vnc";
}

// Creates a context on a surface of its own and reads its renderer.
void probeContext(VideoPathFacts& facts) {
    QOpenGLContext context;
    if (!context.create())
        return;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return;
    facts.contextCreated = true;
    const auto* renderer =
        reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    facts.renderer = QString::fromLatin1(renderer ? renderer : "");
    context.doneCurrent();
}

std::optional<VideoPath>& chosen() {
    static std::optional<VideoPath> path;
    return path;
}
} // namespace

bool isSoftwareRenderer(const QString& renderer) {
    static const char* const kSoftware[] = {"llvmpipe",    "softpipe",    "swrast",      "software",
                                            "swiftshader", "gdi generic", "basic render"};
    for (const char* name : kSoftware)
        if (renderer.contains(QLatin1String(name), Qt::CaseInsensitive))
            return true;
    return false;
}

bool needsContext(const VideoPathFacts& facts) {
    if (facts.asked == u"cpu")
        return false;
    if (facts.asked == u"opengl")
        return true;
    return !headless(facts.platform) && facts.graphicsDevice;
}

VideoPathChoice chooseVideoPath(const VideoPathFacts& facts) {
    if (facts.asked == u"cpu")
        return {VideoPath::Cpu, QStringLiteral("asked for")};
    const bool asked = facts.asked == u"opengl";
    if (!asked && headless(facts.platform))
        return {VideoPath::Cpu, QStringLiteral("no screen (%1)").arg(facts.platform)};
    if (!asked && !facts.graphicsDevice)
        return {VideoPath::Cpu, QStringLiteral("no graphics device")};
    if (!facts.contextCreated)
        return {VideoPath::Cpu, QStringLiteral("no OpenGL context")};
    if (!asked && isSoftwareRenderer(facts.renderer))
        return {VideoPath::Cpu, QStringLiteral("software renderer %1").arg(facts.renderer)};
    return {VideoPath::OpenGl,
            QStringLiteral("renderer %1%2")
                .arg(facts.renderer, asked ? QStringLiteral(" (asked for)") : QString())};
}

VideoPath VideoPaths::current() {
    if (chosen())
        return *chosen();
    VideoPathFacts facts;
    facts.platform = QGuiApplication::platformName();
    facts.asked = qEnvironmentVariable("STILLBECK_VIDEO").trimmed().toLower();
    facts.graphicsDevice = platform::hasGraphicsDevice();
    if (needsContext(facts))
        probeContext(facts);
    const VideoPathChoice choice = chooseVideoPath(facts);
    qCInfo(videoLog).noquote() << (choice.path == VideoPath::OpenGl ? "pictures drawn with OpenGL:"
                                                                    : "pictures drawn on the CPU:")
                               << choice.reason;
    chosen() = choice.path;
    return choice.path;
}

void VideoPaths::fallBackToCpu(const QString& reason) {
    if (chosen() == VideoPath::Cpu)
        return;
    qCInfo(videoLog).noquote() << "pictures drawn on the CPU:" << reason;
    chosen() = VideoPath::Cpu;
}
