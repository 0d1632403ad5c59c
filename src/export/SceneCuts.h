#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Finds the pictures that start a new shot, from their luma alone.
//
// Each picture is reduced to the mean luma of a grid of kColumns x kRows cells (whatever its
// size, so pictures of different widths compare). Its score is the mean absolute difference of
// those means from the previous picture's, 0 to 255. A picture starts a new shot when its score
// is at least the threshold and at least kSpikeRatio times the larger of the two scores before
// it: a cut is one spike, while motion, a pan or a dissolve changes every picture about as much
// as the one before. (Two scores, so that a picture shown twice, a score of 0, does not hide a
// steady motion.)
//
// How it behaves, measured on 720x576 pictures:
//  - cuts between unrelated pictures scored 21 to 122; the same textured picture 40 px aside,
//    or 10 % brighter, 29;
//  - within a shot: noise on a still picture scored under 1, animated test pictures and a zoom
//    under 4, steady pans up to 32 px a picture under 15;
//  - a fade to or from black changes each picture by about its mean luma over the fade's
//    length, so it finds no cut when it lasts longer than mean luma / threshold pictures: faded
//    out over 8 pictures or more, testsrc2 (mean luma 128) found none (16.6 a picture at 8),
//    over 7 or fewer it counted once, at the fade's first picture (19.2 at 7). Fades of a second
//    scored under 7. A dissolve of 6 pictures between two test pictures scored 15, none;
//  - motion that starts suddenly and scores above the threshold from its first picture (a whip
//    pan, more than about 30 px a picture on a detailed scene) counts once, at its start;
//  - a single picture flashed between two of the same shot counts once, not twice: its return
//    is no spike against the flash.
class SceneCuts {
public:
    static constexpr int kColumns = 48;
    static constexpr int kRows = 36;
    // Halfway (geometrically) between the highest score within a shot and the lowest at a cut
    // of the authored pictures above, 14.5 and 20.9.
    static constexpr double kDefaultThreshold = 17.5;
    static constexpr double kSpikeRatio = 2.0;

    // The threshold is brought into 1..255 (the default when it is no number).
    explicit SceneCuts(double threshold = kDefaultThreshold);

    // Feeds the next picture in display order: an 8-bit luma plane, rows pitch bytes apart. True
    // when it starts a new shot. The first picture after construction or reset() is no cut (the
    // caller takes the range's first picture anyway). A picture that cannot be read (no plane,
    // no pixels, a pitch shorter than a row) is no cut and is left out: the next one is compared
    // with the picture before it. A picture under kColumns x kRows gets a cell per pixel; one
    // whose grid differs from the picture before it is compared with nothing, like a first.
    bool next(const uint8_t* luma, int pitch, int width, int height);
    // The score of the last picture fed; 0 for a first or unreadable one.
    double lastScore() const { return lastScore_; }
    // Forgets the pictures fed so far, as after a seek.
    void reset();

private:
    double threshold_;
    std::vector<double> means_; // of the last picture read; empty before the first
    int columns_ = 0;           // of means_' grid (fewer cells when the picture is tiny)
    int rows_ = 0;
    std::array<double, 2> before_{}; // the scores of the last two pictures, newest first
    double lastScore_ = 0;
};
