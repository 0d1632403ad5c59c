#include "LumaScene.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cmath>

namespace {

// Bilinear value noise: random values on a lattice `step` pixels apart.
std::vector<double> valueNoise(QRandomGenerator& random, int width, int height, int step) {
    const int cols = width / step + 2, rows = height / step + 2;
    std::vector<double> lattice(static_cast<size_t>(cols) * rows);
    for (double& v : lattice)
        v = random.generateDouble();
    std::vector<double> out(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const int ly = y / step;
        const double fy = double(y % step) / step;
        for (int x = 0; x < width; ++x) {
            const int lx = x / step;
            const double fx = double(x % step) / step;
            auto at = [&](int c, int r) { return lattice[size_t(r) * cols + c]; };
            const double top = at(lx, ly) * (1 - fx) + at(lx + 1, ly) * fx;
            const double bottom = at(lx, ly + 1) * (1 - fx) + at(lx + 1, ly + 1) * fx;
            out[size_t(y) * width + x] = top * (1 - fy) + bottom * fy;
        }
    }
    return out;
}

} // namespace

LumaScene::LumaScene(quint32 seed, int width, int height)
    : width_(width), height_(height), luma_(size_t(width) * height) {
    QRandomGenerator random(seed);
    const std::vector<double> coarse = valueNoise(random, width, height, 64);
    const std::vector<double> fine = valueNoise(random, width, height, 16);
    for (size_t i = 0; i < luma_.size(); ++i)
        luma_[i] = uint8_t(std::lround(16 + 219 * (0.75 * coarse[i] + 0.25 * fine[i])));
}

std::vector<uint8_t> LumaScene::frame(int left, int width, int pitch, double gain, int noise,
                                      quint32 noiseSeed, uint8_t padByte) const {
    Q_ASSERT(left >= 0 && left + width <= width_ && pitch >= width);
    QRandomGenerator random(noiseSeed);
    std::vector<uint8_t> out(size_t(pitch) * height_, padByte);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width; ++x) {
            double v = luma_[size_t(y) * width_ + left + x] * gain;
            if (noise > 0)
                v += random.bounded(-noise, noise + 1);
            out[size_t(y) * pitch + x] = uint8_t(std::clamp<long>(std::lround(v), 0, 255));
        }
    return out;
}
