// The position timer: keeps the time display, the position bar, the cover panel and the controls
// in step with the engine, takes continuous snapshots and ends captures at the end of the title.
#include "app/MainForm.h"

#include "i18n/LanguageReader.h"
#include "playback/MediaEngine.h"
#include "playback/TimeFormat.h"
#include "ui/GlyphButton.h"
#include "ui/ProgressBar.h"

#include <QFrame>
#include <QLabel>

void MainForm::movieTimer_Timer() {
    try {
        const float position = engine.position();
        const bool idle = !engine.playing() && position < 0.0f;
        if (idle) {
            // A disc opens on the engine's own threads: the loading text stays until its title
            // plays, or until the engine finds it cannot play the medium. The caption is looked
            // up (a read of the pack) only on the ticks that change something.
            const auto loading = [this] {
                return timeElapsed->text() == caption(Caption::Loading);
            };
            if (fullScreenButton->isEnabled()) {
                EnablePlaybackControls(false);
                movieProgress->setFloatValue(0);
                if (!loading())
                    timeElapsed->setText(QString());
            }
            if (logoHide->isHidden())
                logoHide->show();
            if (engine.failed() && loading())
                reportInvalidDvd();
            return;
        }
        if (continuousRunning)
            snapshotCommand_Click();
        movieProgress->setFloatValue(engine.position() * 100.0f);
        const auto showTime = [this] {
            int elapsed = engine.time();
            int total = engine.length();
            timeElapsed->setText(FormatTime(elapsed) + QStringLiteral(" / ") + FormatTime(total));
        };
        if (engine.playing()) {
            showTime();
            if (!logoHide->isHidden())
                logoHide->hide();
            if (!fullScreenButton->isEnabled())
                EnablePlaybackControls(true);
        }
        if (engine.position() >= 1.0f) {
            // The disc may go on with a menu after the title: the time shows where the title
            // ended rather than the last figure seen while it played.
            showTime();
            if (continuousRunning)
                continuousSnapshotsButton_Click();
            if (timedRunning)
                timedSnapshotsButton_Click();
        }
    } catch (const EngineError&) {
        // A failing engine ends this tick; the next one tries again.
    }
}

void MainForm::movieProgress_MouseDown(int button, int, float x, float) {
    try {
        if (engine.playlistCount() > 0 && button == 1 && movieProgress->width() > 0)
            engine.setPosition(x / static_cast<float>(movieProgress->width()));
    } catch (const EngineError&) {
    }
}
