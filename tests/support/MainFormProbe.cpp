#include "MainFormProbe.h"

#include "app/MainForm.h"
#include "ui/GlyphButton.h"
#include "ui/ProgressBar.h"
#include "ui/VolumeSlider.h"
#include "video/VideoStage.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

template <class T> T* named(const MainForm& form, const char* name) {
    T* found = form.findChild<T*>(QLatin1String(name));
    if (!found) {
        // No test can go on without the control it asked for.
        std::fprintf(stderr, "MainFormProbe: the window has no %s\n", name);
        std::abort();
    }
    return found;
}

} // namespace

#define STILLBECK_PROBE(type, name) name(named<type>(form, #name))

MainFormProbe::MainFormProbe(const MainForm& form)
    : STILLBECK_PROBE(VideoStage, stage), STILLBECK_PROBE(QFrame, logoHide),
      STILLBECK_PROBE(ProgressBar, movieProgress), STILLBECK_PROBE(QLabel, mediaActionsTitle),
      STILLBECK_PROBE(QLabel, timeElapsed), STILLBECK_PROBE(QFrame, controlFrame),
      STILLBECK_PROBE(GlyphButton, rewindButton), STILLBECK_PROBE(GlyphButton, playButton),
      STILLBECK_PROBE(GlyphButton, pauseButton), STILLBECK_PROBE(GlyphButton, stopButton),
      STILLBECK_PROBE(GlyphButton, ffButton), STILLBECK_PROBE(GlyphButton, muteStatus),
      STILLBECK_PROBE(VolumeSlider, volumeSlider), STILLBECK_PROBE(QLabel, editTitle),
      STILLBECK_PROBE(QFrame, toolsFrame), STILLBECK_PROBE(GlyphButton, snapshotButton),
      STILLBECK_PROBE(GlyphButton, continuousSnapshotsButton),
      STILLBECK_PROBE(GlyphButton, timedSnapshotsButton),
      STILLBECK_PROBE(GlyphButton, fullScreenButton), STILLBECK_PROBE(QLabel, toolTips),
      STILLBECK_PROBE(QMenu, fileMenu), STILLBECK_PROBE(QMenu, openMenu),
      STILLBECK_PROBE(QAction, openImageOrFolder), STILLBECK_PROBE(QAction, exitCommand),
      STILLBECK_PROBE(QMenu, editMenu), STILLBECK_PROBE(QAction, snapshotCommand),
      STILLBECK_PROBE(QAction, continuousSnapshots), STILLBECK_PROBE(QAction, timedSnapshots),
      STILLBECK_PROBE(QAction, fullScreenMenu), STILLBECK_PROBE(QMenu, toolsMenu),
      STILLBECK_PROBE(QAction, optionsMenuCommand), STILLBECK_PROBE(QMenu, helpMenu),
      STILLBECK_PROBE(QAction, howToUseMenu), STILLBECK_PROBE(QAction, checkUpdates),
      STILLBECK_PROBE(QAction, aboutMenu), STILLBECK_PROBE(QTimer, movieTimer),
      STILLBECK_PROBE(QTimer, toolTipTimer) {
    for (QAction* entry : openMenu->actions()) {
        if (entry->isSeparator())
            break;
        dvdsList.append(entry);
    }
}

#undef STILLBECK_PROBE
