#pragma once

#include <QImage>

// Writes an RGB picture into I420 planes as a decoder would have given it: Rec. 601 at studio
// range, each chroma sample the mean of its 2 x 2 pixels. pitches are the planes' (luma, then
// the two chroma planes); the planes hold at least the picture's rows.
void fillI420(const QImage& rgb, void* const planes[3], const unsigned pitches[3]);
