#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// What a frame of the authored disc looks like when decoded by another decoder than libVLC's:
// frame frameIndex (from 0, in display order, counted across the whole file) of a VOB file,
// decoded by ffmpeg and scaled to size with bicubic filtering. A null image when ffmpeg fails,
// with its error output as a warning.
QImage referenceFrame(const QString& vobFile, int frameIndex, QSize size);

// The mean absolute difference of two pictures over the red, green and blue values of every
// pixel, from 0 (identical) to 255; 255 when the sizes differ or either is null.
double meanAbsDifference(const QImage& a, const QImage& b);
