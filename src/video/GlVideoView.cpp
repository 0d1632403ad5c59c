#include "video/GlVideoView.h"

#include "engine/FrameStore.h"
#include "video/Letterbox.h"

#include <QTimer>

namespace {
const char* const kVertexShader = R"(
attribute vec2 position;
attribute vec2 corner;
varying vec2 at;
void main() {
    at = corner;
    gl_Position = vec4(position, 0.0, 1.0);
}
)";

// Each plane is sampled at its own resolution, clamped to the centres of its outer texels so
// that the padding beside the picture never bleeds in (as the CPU path repeats the edge). A
// picture shown smaller than it is takes four bilinear taps spread over each screen pixel's
// footprint, so that fine detail is averaged rather than skipped, much as libswscale's bilinear
// filter widens with the reduction.
const char* const kFragmentShader = R"(
#ifdef GL_ES
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
#endif
varying vec2 at;
uniform sampler2D planeY;
uniform sampler2D planeU;
uniform sampler2D planeV;
uniform vec2 pictureY;
uniform vec2 pictureC;
uniform vec2 textureY;
uniform vec2 textureU;
uniform vec2 textureV;
uniform vec2 shown;
uniform bool rgb;
vec4 tap(sampler2D plane, vec2 texel, vec2 picture, vec2 textureSize) {
    return texture2D(plane, clamp(texel, vec2(0.5), picture - vec2(0.5)) / textureSize);
}
vec4 pick(sampler2D plane, vec2 picture, vec2 textureSize) {
    vec2 centre = at * picture;
    // Spread so that the taps' blend has the spread of a tent as wide as two screen pixels.
    vec2 step = picture / shown;
    vec2 spread = sqrt(max(step * step - 1.0, vec2(0.0)) / 6.0);
    if (spread.x == 0.0 && spread.y == 0.0)
        return tap(plane, centre, picture, textureSize);
    return 0.25 * (tap(plane, centre - spread, picture, textureSize) +
                   tap(plane, centre + spread, picture, textureSize) +
                   tap(plane, centre + vec2(spread.x, -spread.y), picture, textureSize) +
                   tap(plane, centre + vec2(-spread.x, spread.y), picture, textureSize));
}
void main() {
    if (rgb) {
        gl_FragColor = vec4(pick(planeY, pictureY, textureY).rgb, 1.0);
        return;
    }
    float y = 1.164384 * (pick(planeY, pictureY, textureY).r - 16.0 / 255.0);
    float u = pick(planeU, pictureC, textureU).r - 128.0 / 255.0;
    float v = pick(planeV, pictureC, textureV).r - 128.0 / 255.0;
    gl_FragColor = vec4(y + 1.596027 * v, y - 0.391762 * u - 0.812968 * v, y + 2.017232 * u, 1.0);
}
)";

// Two triangles over the viewport; the picture's first row at the top.
const GLfloat kQuad[] = {
    -1, -1, 0, 1, //
    1,  -1, 1, 1, //
    -1, 1,  0, 0, //
    1,  1,  1, 0,
};
} // namespace

GlVideoView::GlVideoView(QWidget* parent) : QOpenGLWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

GlVideoView::~GlVideoView() {
    // The context goes with QOpenGLWidget's part of this object, when this part is gone already.
    disconnect(contextGone_);
    if (context()) {
        makeCurrent();
        releaseGl();
        doneCurrent();
    }
}

void GlVideoView::setFrameStore(FrameStore* frames) {
    frames_ = frames;
    uploadedSerial_ = 0;
    update();
}

void GlVideoView::releaseGl() {
    if (textures_[0])
        glDeleteTextures(3, textures_);
    for (GLuint& texture : textures_)
        texture = 0;
    quad_.destroy();
    program_.reset();
}

void GlVideoView::fail(const QString& reason) {
    if (failed_)
        return;
    failed_ = true;
    emit failed(reason);
}

// A context that could not be made never reaches initializeGL(): it shows once shown.
void GlVideoView::showEvent(QShowEvent* event) {
    QOpenGLWidget::showEvent(event);
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !isValid())
            fail(QStringLiteral("no OpenGL context for the video area"));
    });
}

void GlVideoView::initializeGL() {
    initializeOpenGLFunctions();
    program_ = std::make_unique<QOpenGLShaderProgram>();
    program_->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader);
    program_->addShaderFromSourceCode(QOpenGLShader::Fragment, kFragmentShader);
    program_->bindAttributeLocation("position", 0);
    program_->bindAttributeLocation("corner", 1);
    if (!program_->link()) {
        const QString log = program_->log();
        program_.reset();
        fail(QStringLiteral("the video shaders did not build: %1").arg(log));
        return;
    }
    quad_.create();
    quad_.bind();
    quad_.allocate(kQuad, sizeof kQuad);
    quad_.release();
    glGenTextures(3, textures_);
    for (GLuint texture : textures_) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    for (QSize& size : textureSizes_)
        size = QSize();
    uploadedSerial_ = 0;
    disconnect(contextGone_);
    contextGone_ = connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        makeCurrent();
        releaseGl();
        doneCurrent();
    });
}

bool GlVideoView::upload(const VideoFrame& frame) {
    if (frame.serial == uploadedSerial_ && frame.serial != 0)
        return true;
    const auto load = [this](int i, QSize textureSize, QSize pictureSize, GLenum format,
                             const void* pixels) {
        glBindTexture(GL_TEXTURE_2D, textures_[i]);
        if (textureSizes_[i] != textureSize) {
            glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), textureSize.width(), textureSize.height(),
                         0, format, GL_UNSIGNED_BYTE, pixels);
            textureSizes_[i] = textureSize;
        } else {
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, textureSize.width(), textureSize.height(),
                            format, GL_UNSIGNED_BYTE, pixels);
        }
        pictureSizes_[i] = pictureSize;
    };
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (const YuvPicture* yuv = frame.planes()) {
        // Each plane whole, its pitch as the texture's width: rows need no repacking, and the
        // shader samples only the picture's part.
        const YuvPlanes& planes = yuv->view;
        const QSize chroma((planes.width + 1) / 2, (planes.height + 1) / 2);
        const int chromaRows = (planes.height + 1) / 2;
        load(0, QSize(planes.pitch[0], planes.height), QSize(planes.width, planes.height),
             GL_LUMINANCE, planes.data[0]);
        load(1, QSize(planes.pitch[1], chromaRows), chroma, GL_LUMINANCE, planes.data[1]);
        load(2, QSize(planes.pitch[2], chromaRows), chroma, GL_LUMINANCE, planes.data[2]);
        rgb_ = false;
    } else {
        const QImage image = frame.image().convertToFormat(QImage::Format_RGBA8888);
        if (image.isNull())
            return false;
        load(0, QSize(int(image.bytesPerLine() / 4), image.height()), image.size(), GL_RGBA,
             image.constBits());
        rgb_ = true;
    }
    uploadedSerial_ = frame.serial;
    return true;
}

void GlVideoView::paintGL() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (!program_ || !frames_)
        return;
    const auto frame = frames_->latest();
    if (!frame || frame->isNull() || !upload(*frame))
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize area = (QSizeF(size()) * ratio).toSize();
    const QRect target = letterboxRect(frame->displaySize, area);
    if (target.isEmpty())
        return;
    glViewport(target.x(), area.height() - target.bottom() - 1, target.width(), target.height());
    program_->bind();
    static const char* const kPlanes[] = {"planeY", "planeU", "planeV"};
    static const char* const kTextures[] = {"textureY", "textureU", "textureV"};
    for (int i = 0; i < 3; ++i) {
        glActiveTexture(GL_TEXTURE0 + GLenum(i));
        glBindTexture(GL_TEXTURE_2D, textures_[i]);
        program_->setUniformValue(kPlanes[i], i);
        program_->setUniformValue(kTextures[i], QSizeF(textureSizes_[i]));
    }
    program_->setUniformValue("pictureY", QSizeF(pictureSizes_[0]));
    program_->setUniformValue("pictureC", QSizeF(pictureSizes_[1]));
    program_->setUniformValue("shown", QSizeF(target.size()));
    program_->setUniformValue("rgb", rgb_);
    quad_.bind();
    program_->enableAttributeArray(0);
    program_->enableAttributeArray(1);
    program_->setAttributeBuffer(0, GL_FLOAT, 0, 2, 4 * sizeof(GLfloat));
    program_->setAttributeBuffer(1, GL_FLOAT, 2 * sizeof(GLfloat), 2, 4 * sizeof(GLfloat));
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    program_->disableAttributeArray(0);
    program_->disableAttributeArray(1);
    quad_.release();
    program_->release();
    glActiveTexture(GL_TEXTURE0);
}
