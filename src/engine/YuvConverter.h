#pragma once

#include <QImage>

struct SwsContext;

// A picture as libVLC's decoder gives it (I420): a luma plane and two chroma planes at half the
// width and height, each with its own pitch.
struct YuvPlanes {
    const uchar* data[3] = {};
    int pitch[3] = {};
    int width = 0;
    int height = 0;
};

// Converts I420 pictures to RGB32 with libswscale, scaled on the way to the target's size when
// that differs: one pass from the decoder's planes to the picture painted, with no RGB picture
// scaled again afterwards. Rec. 601 colours at studio range, as DVDs have them. One converter
// keeps the context for the last pair of sizes; not thread-safe.
class YuvConverter {
public:
    YuvConverter() = default;
    ~YuvConverter();
    YuvConverter(const YuvConverter&) = delete;
    YuvConverter& operator=(const YuvConverter&) = delete;

    // Fills target (Format_RGB32, allocated at the wanted size) from planes; false when the
    // sizes are empty or libswscale has no context for them.
    bool convert(const YuvPlanes& planes, QImage& target);

private:
    SwsContext* context_ = nullptr;
};
