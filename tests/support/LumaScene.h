#pragma once

#include <QtGlobal>
#include <cstdint>
#include <vector>

// A still scene to film: a luma picture wider than the frame, smooth value noise at two scales
// (64 and 16 px) from 16 to 235, the same for the same seed. Scenes of different seeds differ
// as two shots do.
class LumaScene {
public:
    LumaScene(quint32 seed, int width, int height);

    // A frame of it: width x height from column left, each luma value times gain (a fade) plus
    // uniform noise of up to +-noise (from noiseSeed), rows pitch bytes apart with padByte
    // beyond the frame's width.
    std::vector<uint8_t> frame(int left, int width, int pitch, double gain = 1, int noise = 0,
                               quint32 noiseSeed = 0, uint8_t padByte = 0) const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_;
    int height_;
    std::vector<uint8_t> luma_;
};
