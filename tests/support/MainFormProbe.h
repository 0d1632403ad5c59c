#pragma once

#include <QList>

class GlyphButton;
class MainForm;
class ProgressBar;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QTimer;
class VideoStage;
class VolumeSlider;

// The main window's controls as a test reaches them: found by the names the window definition
// gives them, as an outside tool would find them. A name the window no longer has fails the
// test that asks for it.
struct MainFormProbe {
    explicit MainFormProbe(const MainForm& form);

    VideoStage* stage;
    QFrame* logoHide;
    ProgressBar* movieProgress;
    QLabel* mediaActionsTitle;
    QLabel* timeElapsed;
    QFrame* controlFrame;
    GlyphButton* rewindButton;
    GlyphButton* playButton;
    GlyphButton* pauseButton;
    GlyphButton* stopButton;
    GlyphButton* ffButton;
    GlyphButton* muteStatus;
    VolumeSlider* volumeSlider;
    QLabel* editTitle;
    QFrame* toolsFrame;
    GlyphButton* snapshotButton;
    GlyphButton* continuousSnapshotsButton;
    GlyphButton* timedSnapshotsButton;
    GlyphButton* fullScreenButton;
    QLabel* toolTips;

    QMenu* fileMenu;
    QMenu* openMenu;
    // The drive items, in menu order: the entries above the separator of the Open menu.
    QList<QAction*> dvdsList;
    QAction* openImageOrFolder;
    QAction* exitCommand;
    QMenu* editMenu;
    QAction* snapshotCommand;
    QAction* continuousSnapshots;
    QAction* timedSnapshots;
    QAction* fullScreenMenu;
    QMenu* toolsMenu;
    QAction* optionsMenuCommand;
    QMenu* helpMenu;
    QAction* howToUseMenu;
    QAction* checkUpdates;
    QAction* aboutMenu;

    QTimer* movieTimer;
    QTimer* toolTipTimer;
};

inline MainFormProbe probe(const MainForm& form) {
    return MainFormProbe(form);
}
