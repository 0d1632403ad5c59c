#pragma once

#include "engine/YuvConverter.h"

#include <QImage>
#include <QSize>
#include <memory>
#include <mutex>

// A decoded picture's planes as the decoder gave them, over a buffer the picture shares with
// nothing that writes to it: read-only once published.
struct YuvPicture {
    std::shared_ptr<uchar> buffer;
    YuvPlanes view;
};

// One decoded video picture.
//
// A picture from the decoder keeps its planes, and becomes RGB only when something asks for
// it (a snapshot, a comparison): most pictures are only ever painted, which the video area
// does from the planes, or from the copy already scaled to its size.
struct VideoFrame {
    QSize displaySize;    // its size on screen: coded height, width from the display aspect ratio
    quint64 serial = 0;   // grows by one with every published frame
    qint64 arrivedMs = 0; // when it was published, on FrameStore::clockMs()
    // The picture already scaled to the size a video area asked for (FrameStore::setShownSize),
    // or null; and the CPU time the publisher spent scaling it.
    QImage shown;
    qint64 shownCpuNs = 0;

    // The picture at its coded size (e.g. 720 x 576), Format_RGB32; converted from the planes
    // once, on first use, from any thread.
    QImage image() const;
    // The coded size, without converting anything.
    QSize codedSize() const;
    bool isNull() const { return codedSize().isEmpty(); }
    // The decoder's planes, or null for a picture published as RGB.
    const YuvPicture* planes() const;

    // The picture, shared with the history's copy of the frame so that it is converted once.
    struct Picture {
        std::shared_ptr<const YuvPicture> planes;
        mutable std::once_flag converted;
        mutable QImage rgb;
    };
    std::shared_ptr<const Picture> picture;
};
