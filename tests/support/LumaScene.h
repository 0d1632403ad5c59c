#pragma once

#include <QtGlobal>
#include <cstdint>
#include <vector>

// A still scene to film, wider than the frame: value noise on a 32 px lattice from 16 to 235,
// the same for the same seed; scenes of different seeds differ as two shots do.
struct LumaScene {
    LumaScene(quint32 seed, int width, int height);
    // width x height from column left, the luma times gain (a fade) plus noise of up to
    // +-noise, rows pitch bytes apart and padded with padByte.
    std::vector<uint8_t> frame(int left, int width, int pitch, double gain = 1, int noise = 0,
                               quint32 noiseSeed = 0, uint8_t padByte = 0) const;
    int width, height;
    std::vector<uint8_t> luma;
};
