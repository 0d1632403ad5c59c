#pragma once

#include "export/ExportRequest.h"

#include <vector>

// A disc's titles for the export's tests: a short one-chapter title, a five-chapter one of
// 0:44:12 and the longest, numbered 4 as on discs whose table skips numbers.
inline std::vector<TitleSummary> exportTitles() {
    TitleSummary shortOne;
    shortOne.number = 1;
    shortOne.lengthMs = 95'400;
    shortOne.chapterStarts = {0};
    TitleSummary episode;
    episode.number = 2;
    episode.lengthMs = 2'652'999;
    episode.chapterStarts = {0, 300'000, 900'000, 1'500'000, 2'100'000};
    TitleSummary feature;
    feature.number = 4;
    feature.lengthMs = 3'725'000;
    feature.chapterStarts = {0, 600'000, 1'261'500};
    return {shortOne, episode, feature};
}

inline TitleList exportTitleList() {
    TitleList list;
    list.titles = exportTitles();
    return list;
}
