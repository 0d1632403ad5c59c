#include "playback/FrameScale.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Where each target column or row samples the source: the lower neighbour and the weight of the
// upper one in 256ths, for pixel centres mapped onto pixel centres and clamped at the edges.
struct Taps {
    std::vector<int> index;
    std::vector<quint32> weight;
};

Taps taps(int sourceLength, int targetLength) {
    Taps result;
    result.index.resize(size_t(targetLength));
    result.weight.resize(size_t(targetLength));
    const double ratio = double(sourceLength) / double(targetLength);
    for (int i = 0; i < targetLength; ++i) {
        const double at = std::clamp((i + 0.5) * ratio - 0.5, 0.0, double(sourceLength - 1));
        const int lower = std::min(int(at), sourceLength - 1);
        result.index[size_t(i)] = lower;
        result.weight[size_t(i)] = quint32(std::lround((at - lower) * 256));
    }
    return result;
}

// a and b mixed with b's weight w out of 256, all four bytes at once (two per multiplication:
// a byte times 256 fits in the 16 bits between them).
inline quint32 mix(quint32 a, quint32 b, quint32 w) {
    const quint32 v = 256 - w;
    const quint32 rb =
        (((a & 0x00ff00ffu) * v + (b & 0x00ff00ffu) * w + 0x00800080u) >> 8) & 0x00ff00ffu;
    const quint32 ag =
        (((a >> 8) & 0x00ff00ffu) * v + ((b >> 8) & 0x00ff00ffu) * w + 0x00800080u) & 0xff00ff00u;
    return rb | ag;
}

} // namespace

bool FrameScale::bilinear(const QImage& source, QImage& target) {
    const QImage::Format format = source.format();
    if (source.isNull() || target.isNull() || target.format() != format ||
        (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied))
        return false;
    const int sourceWidth = source.width(), width = target.width();
    const Taps columns = taps(sourceWidth, width);
    const Taps rows = taps(source.height(), target.height());
    const bool sameWidth = sourceWidth == width;
    std::vector<quint32> blended(static_cast<size_t>(sourceWidth));
    for (int y = 0; y < target.height(); ++y) {
        const int row = rows.index[size_t(y)];
        const quint32 rowWeight = rows.weight[size_t(y)];
        const auto* line = reinterpret_cast<const quint32*>(source.constScanLine(row));
        if (rowWeight != 0) {
            const auto* next = reinterpret_cast<const quint32*>(
                source.constScanLine(std::min(row + 1, source.height() - 1)));
            for (int x = 0; x < sourceWidth; ++x)
                blended[size_t(x)] = mix(line[x], next[x], rowWeight);
            line = blended.data();
        }
        auto* out = reinterpret_cast<quint32*>(target.scanLine(y));
        if (sameWidth) {
            std::memcpy(out, line, size_t(width) * 4);
            continue;
        }
        const int last = sourceWidth - 1;
        for (int x = 0; x < width; ++x) {
            const int i = columns.index[size_t(x)];
            out[x] = mix(line[i], line[std::min(i + 1, last)], columns.weight[size_t(x)]);
        }
    }
    return true;
}

QImage FrameScale::scaled(const QImage& source, QSize size) {
    if (source.isNull() || size.isEmpty())
        return {};
    if (source.size() == size)
        return source;
    QImage target(size, source.format());
    if (!target.isNull() && bilinear(source, target))
        return target;
    return source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
