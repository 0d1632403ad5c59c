// Keeping the bands anchored to the bottom edge and the video area in proportion as the window
// changes size.
#include "app/MainForm.h"

#include "platform/ErrorLog.h"
#include "ui/GlyphButton.h"
#include "ui/ProgressBar.h"
#include "ui/VolumeSlider.h"
#include "video/VideoStage.h"

#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>

void MainForm::Form_Resize() {
    // Nothing to anchor before the load sequence has recorded the offsets.
    if (isMinimized() || !offsetsRecorded_)
        return;
    const float tpp = twipsPerPixel();
    MainLayoutInput in;
    in.scaleWidth = static_cast<float>(width()) * tpp;
    in.scaleHeight = static_cast<float>(clientHeight()) * tpp;
    in.width = in.scaleWidth + MainLayout::kFrameWidth;
    in.height = in.scaleHeight + MainLayout::kFrameHeight;
    in.twipsPerPixel = tpp;
    in.toolsFrameBottom = toolsFrameBottom;
    in.editTitleBottom = editTitleBottom;
    in.controlFrameBottom = controlFrameBottom;
    in.mediaActionsTitleBottom = mediaActionsTitleBottom;
    in.timeElapsedBottom = timeElapsedBottom;
    in.movieProgressBottom = movieProgressBottom;
    in.stage = stageRect;
    const MainLayoutResult out = layoutMainWindow(in);

    const auto px = [tpp](float twips) { return qRound(twips / tpp); };
    const auto place = [&](QWidget* w, float left, float top, float width, float height) {
        w->setGeometry(px(left), px(top), px(width), px(height));
    };
    const float bandLeft = static_cast<float>(toolsFrame->x()) * tpp;
    // The pass's band width reaches past the right edge; the bands are given the width that ends
    // as far inside the edge as they start, so the whole position bar can be clicked. The video
    // area still follows the pass's own width.
    const float bandWidth = MainLayout::bandWidthInside(out.bandWidth, in.scaleWidth, bandLeft);
    place(toolsFrame, bandLeft, out.toolsFrameTop, bandWidth,
          static_cast<float>(toolsFrame->height()) * tpp);
    place(editTitle, bandLeft, out.editTitleTop, bandWidth,
          static_cast<float>(editTitle->height()) * tpp);
    place(controlFrame, bandLeft, out.controlFrameTop, bandWidth,
          static_cast<float>(controlFrame->height()) * tpp);
    place(mediaActionsTitle, bandLeft, out.mediaActionsTitleTop, bandWidth,
          static_cast<float>(mediaActionsTitle->height()) * tpp);
    place(timeElapsed, out.timeElapsedLeft, out.timeElapsedTop, MainLayout::kTimeElapsedWidth,
          static_cast<float>(timeElapsed->height()) * tpp);
    place(movieProgress, bandLeft, out.movieProgressTop, bandWidth,
          static_cast<float>(movieProgress->height()) * tpp);
    volumeSlider->move(px(out.volumeSliderLeft), volumeSlider->y());
    muteStatus->move(px(out.muteStatusLeft), muteStatus->y());

    stageRect = out.stage;
    place(stage, stageRect.left, stageRect.top, stageRect.width, stageRect.height);
    writeLayoutLog(stageRect.left, stageRect.top, stageRect.width, stageRect.height);
    place(logoHide, stageRect.left, stageRect.top, stageRect.width, stageRect.height);
    place(toolTips, out.toolTips.left, out.toolTips.top, out.toolTips.width, out.toolTips.height);
    // The hint line reaches below the client area; its text is centred in the part that shows.
    const int hidden = toolTips->geometry().bottom() - toolTips->parentWidget()->rect().bottom();
    toolTips->setContentsMargins(px(MainLayout::kHintIndent), 0, 0, qMax(0, hidden));
}

int MainForm::clientHeight() const {
    return height() - menuBar()->sizeHint().height();
}

float MainForm::twipsPerPixel() const {
    const QScreen* s = screen();
    const qreal dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return static_cast<float>(1440.0 / (dpi > 0 ? dpi : 96.0));
}
