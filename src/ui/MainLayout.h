#pragma once

// Geometry of the main window's layout pass, in twips (single precision, as the window keeps it).
struct TwipsRect {
    float left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsRect&) const = default;
};

struct MainLayoutInput {
    float width = 0, height = 0;           // outer size of the window
    float scaleWidth = 0, scaleHeight = 0; // client area below the menu bar
    float twipsPerPixel = 15;
    // Distances from the client area's bottom edge recorded at load.
    float toolsFrameBottom = 0, editTitleBottom = 0, controlFrameBottom = 0,
          mediaActionsTitleBottom = 0, timeElapsedBottom = 0, movieProgressBottom = 0;
    TwipsRect stage; // the video area as the previous pass left it
};

struct MainLayoutResult {
    float toolsFrameTop = 0, editTitleTop = 0, controlFrameTop = 0, mediaActionsTitleTop = 0,
          timeElapsedTop = 0, movieProgressTop = 0;
    float bandWidth = 0; // bands, title lines and the position bar
    float volumeSliderLeft = 0, muteStatusLeft = 0, timeElapsedLeft = 0;
    TwipsRect stage;
    TwipsRect toolTips;
};

namespace MainLayout {
// Design values the pass works with.
inline constexpr float kMinWidth = 6825, kMinHeight = 8235;
inline constexpr float kFrameWidth = 120, kFrameHeight = 810; // outer minus client at design
inline constexpr float kVolumeSliderWidth = 1905, kMuteStatusWidth = 615;
inline constexpr float kTimeElapsedWidth = 3735, kTimeElapsedRightGap = 120;
inline constexpr float kToolsFrameHeight = 570;
inline constexpr TwipsRect kDesignStage{120, 120, 6480, 4860};
// Gap between the window's left edge and the hint text.
inline constexpr float kHintIndent = 120;

// The width a band starting at bandLeft is given so that it ends as far inside the client area's
// right edge as it starts inside the left one (never wider than the pass's own width).
inline float bandWidthInside(float passWidth, float scaleWidth, float bandLeft) {
    const float inside = scaleWidth - 2 * bandLeft;
    return inside < passWidth ? inside : passWidth;
}
} // namespace MainLayout

// One layout pass: bands anchored to the bottom and stretched to the width, volume and mute
// following the right edge, the video area at 4:3 centred above the position bar.
MainLayoutResult layoutMainWindow(const MainLayoutInput& in);
