#include "ui/MainLayout.h"

using namespace MainLayout;

MainLayoutResult layoutMainWindow(const MainLayoutInput& input) {
    MainLayoutInput in = input;
    // The window never gets smaller than its design size.
    if (in.width < kMinWidth) {
        in.scaleWidth += kMinWidth - in.width;
        in.width = kMinWidth;
    }
    if (in.height < kMinHeight) {
        in.scaleHeight += kMinHeight - in.height;
        in.height = kMinHeight;
    }

    MainLayoutResult out;
    out.toolsFrameTop = in.scaleHeight - in.toolsFrameBottom - 7;
    out.editTitleTop = in.scaleHeight - in.editTitleBottom - 7;
    out.controlFrameTop = in.scaleHeight - in.controlFrameBottom - 7;
    out.mediaActionsTitleTop = in.scaleHeight - in.mediaActionsTitleBottom - 7;
    out.timeElapsedTop = in.scaleHeight - in.timeElapsedBottom - 7;
    out.movieProgressTop = in.scaleHeight - in.movieProgressBottom - 7;

    out.bandWidth = in.scaleWidth - 15;
    out.volumeSliderLeft = in.width - kVolumeSliderWidth - 70 * in.twipsPerPixel;
    out.muteStatusLeft = in.width - kMuteStatusWidth - kVolumeSliderWidth - 75 * in.twipsPerPixel;
    // The time text keeps its right edge where it was designed, so it stays readable.
    out.timeElapsedLeft = in.scaleWidth - kTimeElapsedRightGap - kTimeElapsedWidth;

    // Video area at 4:3: full width when it fits above the position bar, else as tall as fits.
    // The fit test uses the top the previous pass left, so a pass can differ from the one before.
    TwipsRect stage = in.stage;
    stage.width = out.bandWidth;
    stage.height = stage.width * 3 / 4;
    if (out.movieProgressTop <= stage.top + stage.height) {
        stage.height = out.movieProgressTop - stage.top - 1;
        stage.width = stage.height * 4 / 3;
    }
    stage.top = (out.movieProgressTop - stage.height) / 2;
    stage.left = (in.scaleWidth - stage.width) / 2;
    out.stage = stage;

    out.toolTips.left = 0;
    out.toolTips.top = out.toolsFrameTop + kToolsFrameHeight;
    out.toolTips.width = in.scaleWidth;
    out.toolTips.height = in.height - out.toolTips.top;
    return out;
}
