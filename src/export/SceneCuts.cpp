#include "export/SceneCuts.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

// A threshold of 0 or below would make every still picture a cut.
SceneCuts::SceneCuts(double threshold)
    : threshold_(std::isfinite(threshold) ? std::clamp(threshold, 1.0, 255.0) : kDefaultThreshold) {
}

void SceneCuts::reset() {
    means_.clear();
    columns_ = rows_ = 0;
    before_ = {};
    lastScore_ = 0;
}

bool SceneCuts::next(const uint8_t* luma, int pitch, int width, int height) {
    lastScore_ = 0;
    if (!luma || width <= 0 || height <= 0 || pitch < width)
        return false;

    // A picture narrower or lower than the grid gets one cell per pixel.
    const int columns = std::min(kColumns, width);
    const int rows = std::min(kRows, height);
    // Cell c spans columns left[c] to left[c + 1]; 64-bit, so that no size overflows.
    std::array<std::ptrdiff_t, kColumns + 1> left{};
    for (int c = 0; c <= columns; ++c)
        left[c] = static_cast<std::ptrdiff_t>(static_cast<int64_t>(width) * c / columns);

    std::vector<uint64_t> sums(static_cast<std::size_t>(columns) * rows, 0);
    for (int y = 0; y < height; ++y) {
        const int row = static_cast<int>(static_cast<int64_t>(y) * rows / height);
        const uint8_t* line = luma + static_cast<std::ptrdiff_t>(y) * pitch;
        uint64_t* cells = sums.data() + static_cast<std::size_t>(row) * columns;
        for (int c = 0; c < columns; ++c) {
            uint64_t sum = 0;
            for (std::ptrdiff_t x = left[c]; x < left[c + 1]; ++x)
                sum += line[x];
            cells[c] += sum;
        }
    }

    std::vector<double> means(sums.size());
    for (int r = 0; r < rows; ++r) {
        const int64_t cellRows =
            static_cast<int64_t>(height) * (r + 1) / rows - static_cast<int64_t>(height) * r / rows;
        for (int c = 0; c < columns; ++c) {
            const double pixels = static_cast<double>(cellRows) * (left[c + 1] - left[c]);
            const std::size_t i = static_cast<std::size_t>(r) * columns + c;
            means[i] = static_cast<double>(sums[i]) / pixels;
        }
    }

    // A grid of another shape (a tiny picture after a normal one) cannot be compared: it starts
    // afresh, as after a seek.
    const bool comparable = !means_.empty() && columns == columns_ && rows == rows_;
    double score = 0;
    if (comparable) {
        for (std::size_t i = 0; i < means.size(); ++i)
            score += std::abs(means[i] - means_[i]);
        score /= static_cast<double>(means.size());
    } else {
        before_ = {};
    }
    means_ = std::move(means);
    columns_ = columns;
    rows_ = rows;

    const bool cut = comparable && score >= threshold_ &&
                     score >= kSpikeRatio * std::max(before_[0], before_[1]);
    before_ = {score, before_[0]};
    lastScore_ = score;
    return cut;
}
