#pragma once

#include <QImage>
#include <QSize>

// Bilinear scaling of video pictures on the calling thread.
//
// Qt's smooth scaling hands each picture to its shared thread pool in slices: for a video frame
// the wake-ups cost about as much as the arithmetic, and the work escapes the caller's CPU clock.
// This one samples at pixel centres with 8-bit weights, as QPainter's smooth image drawing does,
// and does only the horizontal pass when the height stays (a DVD frame shown at its display
// aspect ratio).
namespace FrameScale {

// Fills target (allocated at the wanted size) with source scaled to target's size. Both must be
// Format_RGB32 or both Format_ARGB32_Premultiplied; returns false, leaving target unchanged,
// otherwise.
bool bilinear(const QImage& source, QImage& target);

// source at the given size: bilinear for the formats above, Qt's smooth scaling for others.
QImage scaled(const QImage& source, QSize size);

} // namespace FrameScale
