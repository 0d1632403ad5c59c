#pragma once

#include <QImage>

// The frame number that tests/fixtures/make_dvd.sh codes into the top 48 rows of the steps
// disc's pictures: eleven blocks 64 px wide from x = 0, block b white when bit b is set, black
// otherwise. Reads it from a picture of any size (the 720x576 coded frame, a 768x576 snapshot
// of it, a 1024x576 one at 16:9) by sampling the centre of each block; -1 when any block is
// neither clearly black nor clearly white, as in a picture without the code, a blend of two
// frames or a badly scaled one. A black picture reads as 0, so a test expecting frame 0 should
// also check that the picture is not blank.
int frameCodeOf(const QImage& image);
