#include "FrameCode.h"

namespace {
constexpr int codedWidth = 720;
constexpr int codedHeight = 576;
constexpr int blocks = 11;
constexpr int blockWidth = 64;
constexpr int bandMiddle = 24;
// Greys between these are neither block colour after scaling and compression.
constexpr int darkest = 60;
constexpr int lightest = 190;
} // namespace

int frameCodeOf(const QImage& image) {
    if (image.isNull())
        return -1;
    const int y = bandMiddle * image.height() / codedHeight;
    int code = 0;
    for (int b = 0; b < blocks; ++b) {
        const int x = (b * blockWidth + blockWidth / 2) * image.width() / codedWidth;
        const int grey = qGray(image.pixel(x, y));
        if (grey > darkest && grey < lightest)
            return -1;
        if (grey > 128)
            code |= 1 << b;
    }
    return code;
}
