#pragma once

#include <QOpenGLBuffer>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QOpenGLWidget>
#include <QPointer>
#include <memory>

class FrameStore;
struct VideoFrame;

// Paints the frame store's frame on show with OpenGL: the decoder's three planes are uploaded
// as they are, and the graphics card converts them to RGB (Rec. 601, studio range) and scales
// them bilinearly to the letterboxed picture; the rest is black. It takes no input of its own:
// mouse and keys go to the video stage it fills.
class GlVideoView : public QOpenGLWidget, protected QOpenGLFunctions {
    Q_OBJECT
public:
    explicit GlVideoView(QWidget* parent = nullptr);
    ~GlVideoView() override;

    void setFrameStore(FrameStore* frames);

signals:
    // No context could be made, or the shaders did not build: nothing can be drawn.
    void failed(const QString& reason);

protected:
    void initializeGL() override;
    void paintGL() override;
    void showEvent(QShowEvent* event) override;

private:
    void fail(const QString& reason);
    // Uploads the frame's pictures unless they are on the textures already; false without one.
    bool upload(const VideoFrame& frame);
    void releaseGl();

    QPointer<FrameStore> frames_;
    std::unique_ptr<QOpenGLShaderProgram> program_;
    QOpenGLBuffer quad_{QOpenGLBuffer::VertexBuffer};
    GLuint textures_[3] = {};
    QSize textureSizes_[3];
    QSize pictureSizes_[3]; // of the picture in each texture, in texels
    bool rgb_ = false;      // the frame came as RGB: one texture
    quint64 uploadedSerial_ = 0;
    bool failed_ = false;
    QMetaObject::Connection contextGone_;
};
