#pragma once

#include <QString>

// How the video area and the full-screen view bring decoded pictures to the screen.
//
// With a hardware OpenGL renderer the graphics card converts the decoder's planes to RGB and
// scales them (GlVideoView); otherwise the CPU converts and scales them once per picture, to the
// size shown (VideoStage). A software OpenGL renderer would do on the CPU what the CPU path does,
// only through more layers, so it is not used unless asked for.
enum class VideoPath { Cpu, OpenGl };

// What the choice rests on.
struct VideoPathFacts {
    QString platform;            // Qt's platform plugin: "xcb", "wayland", "offscreen"…
    QString asked;               // STILLBECK_VIDEO: "opengl", "cpu" or empty
    bool graphicsDevice = false; // platform::hasGraphicsDevice()
    bool contextCreated = false; // an OpenGL context could be created and made current
    QString renderer;            // its GL_RENDERER
};

struct VideoPathChoice {
    VideoPath path = VideoPath::Cpu;
    QString reason; // for the log
};

// The path for these facts. Facts that would need an OpenGL context are only looked at when
// they can change the outcome (needsContext()).
VideoPathChoice chooseVideoPath(const VideoPathFacts& facts);
bool needsContext(const VideoPathFacts& facts);
// Whether a GL_RENDERER names a renderer that runs on the CPU (Mesa's llvmpipe, softpipe…).
bool isSoftwareRenderer(const QString& renderer);

namespace VideoPaths {

// The path of this run: chosen on the first call (a QGuiApplication must exist) and logged
// once. Creating an OpenGL context to learn the renderer can fail; that is the CPU path, without
// any message to the user.
VideoPath current();
// An OpenGL view that could not draw after all: this run goes on on the CPU path.
void fallBackToCpu(const QString& reason);

} // namespace VideoPaths
