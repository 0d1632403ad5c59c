#include "LumaScene.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cmath>

LumaScene::LumaScene(quint32 seed, int width, int height)
    : width(width), height(height), luma(size_t(width) * height) {
    constexpr int step = 32;
    const int cols = width / step + 2;
    std::vector<double> lattice(size_t(cols) * (height / step + 2));
    QRandomGenerator random(seed);
    for (double& v : lattice)
        v = random.generateDouble();
    auto at = [&](int x, int y) { return lattice[size_t(y / step) * cols + x / step]; };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double fx = double(x % step) / step, fy = double(y % step) / step;
            const double v = (at(x, y) * (1 - fx) + at(x + step, y) * fx) * (1 - fy) +
                             (at(x, y + step) * (1 - fx) + at(x + step, y + step) * fx) * fy;
            luma[size_t(y) * width + x] = uint8_t(std::lround(16 + 219 * v));
        }
}

std::vector<uint8_t> LumaScene::frame(int left, int frameWidth, int pitch, double gain, int noise,
                                      quint32 noiseSeed, uint8_t padByte) const {
    QRandomGenerator random(noiseSeed);
    std::vector<uint8_t> out(size_t(pitch) * height, padByte);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < frameWidth; ++x) {
            const int v = int(std::lround(luma[size_t(y) * width + left + x] * gain)) +
                          (noise ? random.bounded(-noise, noise + 1) : 0);
            out[size_t(y) * pitch + x] = uint8_t(std::clamp(v, 0, 255));
        }
    return out;
}
