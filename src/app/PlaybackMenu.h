#pragma once

#include "i18n/CaptionTable.h"

#include <QList>
#include <QObject>
#include <functional>

class CaptureController;
class MediaEngine;
class PlayerSession;
class QAction;
class QMenu;
class QMenuBar;

// Picking the picture: the Playback menu (the disc's titles and the current title's chapters,
// the audio and subtitle tracks, frame steps and chapter steps) and the Edit menu's commands
// that keep the last seconds and copy the picture. The lists are read from the engine each time
// they open. The commands are off, with the other playback controls, while no title is loaded.
class PlaybackMenu : public QObject {
    Q_OBJECT
public:
    using ShowHint = std::function<void(const CaptionText&)>;

    // Puts the Playback menu into the bar before `before` and the two commands at the end of the
    // Edit menu's capture commands (before `editBefore`).
    PlaybackMenu(QMenuBar* bar, QAction* before, QMenu* editMenu, QAction* editBefore,
                 PlayerSession& session, CaptureController& capture, MediaEngine& engine,
                 ShowHint showHint, QObject* parent = nullptr);

    void applyCaptions();
    void enable(bool enabled);
    // The commands whose shortcuts also work over the full-screen picture.
    QList<QAction*> commands() const;

    // The commands.
    void nextFrame_Click();
    void previousFrame_Click();
    void nextChapter_Click();
    void previousChapter_Click();
    void keepLastSeconds_Click();
    void copyPicture_Click();
    void titleList_Click(int title);
    void chapterList_Click(int chapter);
    void audioList_Click(int id);
    void subtitleList_Click(int id);

    // The lists as they open.
    void fillTitles();
    void fillChapters();
    void fillAudio();
    void fillSubtitles();

private:
    QAction* command(QMenu* menu, const char* name, const QKeySequence& key,
                     const CaptionText& hint, void (PlaybackMenu::*handler)());
    // Adds a checkable entry that calls handler with value.
    void addEntry(QMenu* menu, const QString& text, bool current, int value,
                  void (PlaybackMenu::*handler)(int));

    PlayerSession& session_;
    CaptureController& capture_;
    MediaEngine& engine_;
    ShowHint showHint_;
    bool enabled_ = false;

    QMenu* playbackMenu = nullptr;
    QMenu* titleMenu = nullptr;
    QMenu* chapterMenu = nullptr;
    QMenu* audioMenu = nullptr;
    QMenu* subtitlesMenu = nullptr;
    QAction* nextFrame = nullptr;
    QAction* previousFrame = nullptr;
    QAction* nextChapter = nullptr;
    QAction* previousChapter = nullptr;
    QAction* keepLastSeconds = nullptr;
    QAction* copyPicture = nullptr;
};
