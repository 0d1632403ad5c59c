#pragma once

#include <QImage>
#include <QSize>

struct VideoFrame;

// Smooth scaling of video pictures on the calling thread.
//
// QPainter's smooth image drawing (bilinear at pixel centres) spreads a picture of video size
// over Qt's shared thread pool: waking the pool for every frame costs more CPU than it saves
// time, and the work escapes the caller's CPU clock. Drawn here in bands too short to be spread,
// the same pixels come out of the calling thread alone, for about two thirds of the CPU.
namespace FrameScale {

// Fills target (allocated at the wanted size, in a format QPainter draws on) with source scaled
// to target's size.
void scaleInto(const QImage& source, QImage& target);

// source at the given size: the same image when the size is the same; RGB32 for an opaque
// picture, premultiplied ARGB32 for one with an alpha channel otherwise.
QImage scaled(const QImage& source, QSize size);

// The frame's picture at its display size, as a still has it: the copy a video area had scaled
// to that size when there is one (its scaling CPU time in *scaledElsewhereNs), else scaled here.
QImage still(const VideoFrame& frame, qint64* scaledElsewhereNs = nullptr);

} // namespace FrameScale
