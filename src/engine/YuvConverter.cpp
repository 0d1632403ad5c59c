#include "engine/YuvConverter.h"

extern "C" {
#include <libswscale/swscale.h>
}

YuvConverter::~YuvConverter() {
    sws_freeContext(context_);
}

bool YuvConverter::convert(const YuvPlanes& planes, QImage& target) {
    // Opaque BGRA is both formats alike.
    if (planes.width <= 0 || planes.height <= 0 || target.isNull() ||
        (target.format() != QImage::Format_RGB32 &&
         target.format() != QImage::Format_ARGB32_Premultiplied))
        return false;
    // Bilinear: the smooth scaling the video area has always had, up or down. An unscaled
    // conversion takes libswscale's direct path whatever the flag.
    context_ = sws_getCachedContext(context_, planes.width, planes.height, AV_PIX_FMT_YUV420P,
                                    target.width(), target.height(), AV_PIX_FMT_BGRA, SWS_BILINEAR,
                                    nullptr, nullptr, nullptr);
    if (!context_)
        return false;
    uint8_t* const out[4] = {target.bits(), nullptr, nullptr, nullptr};
    const int outPitch[4] = {int(target.bytesPerLine()), 0, 0, 0};
    const uint8_t* const in[4] = {planes.data[0], planes.data[1], planes.data[2], nullptr};
    const int inPitch[4] = {planes.pitch[0], planes.pitch[1], planes.pitch[2], 0};
    return sws_scale(context_, in, inPitch, 0, planes.height, out, outPitch) == target.height();
}
