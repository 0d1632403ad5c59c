#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class CaptureController;
class DriveEnumerator;
class DriveSource;
class MediaEngine;
class MessageBoxes;
class PlayerView;

// The disc being played and what the user does with it: the drive list, opening and reloading
// a disc with the snapshot options, the transport controls, the sound, the position display and
// seeking. Captures are ended through the capture controller before the engine stops.
class PlayerSession {
public:
    enum class Phase {
        NoDisc,  // nothing loaded, or stopped
        Loading, // a disc was handed to the engine and its title has not started yet
        Playing,
        Paused,
    };

    PlayerSession(MediaEngine& engine, DriveSource& drives, MessageBoxes& boxes,
                  CaptureController& capture, PlayerView& view);
    ~PlayerSession();

    Phase phase() const { return phase_; }
    // Whether the window's playback controls are on, as the session last set them.
    bool controlsEnabled() const { return controlsEnabled_; }
    bool coverShown() const { return coverShown_; }
    bool muted() const { return muted_; }
    // Nothing to follow: no disc, the controls off and the cover shown. Ticks change nothing
    // until a disc is opened.
    bool resting() const { return phase_ == Phase::NoDisc && !controlsEnabled_ && coverShown_; }
    // The drive name, or the path of a disc image or disc folder, being played.
    const QString& currentDrive() const { return currentDrive_; }
    const QString& currentDiscLabel() const { return currentDiscLabel_; }
    // The options handed to the engine with the disc; the second is the snapshot folder.
    const QStringList& engineOptions() const { return engineOptions_; }

    // Drives and discs.
    // Reads the drives anew: one caption per drive ("LABEL (D:)", or the insert-a-disc text);
    // empty when there is no drive.
    const QStringList& listDrives();
    const QStringList& driveMenuCaptions() const { return driveMenuCaptions_; }
    // Opens the disc in the drive of a caption listDrives() gave; nothing for a drive without a
    // readable disc.
    void openDrive(int index);
    // Opens a DVD image file or disc folder the user picked (or the folder holding VIDEO_TS).
    void openImageOrFolder(const QString& picked);
    // Opens what the program was started with (or a second start handed over): a drive's device
    // like its drive item, anything else (a file:// URI or a path: an image, a disc folder, a
    // mounted disc) like a picked image or folder. What is no DVD gets the invalid-DVD message.
    void openArgument(const QString& argument);
    void BuildEngineOptions();
    // The same disc again, so that changed snapshot options reach the engine.
    void reloadDisc();

    // Transport. A failing engine call ignores the click.
    void enableControls(bool enabled);
    void play();
    void pause();
    // Pauses a playing title, plays otherwise, as the play and pause buttons would.
    void playOrPause();
    void stop();
    void fastForward();
    void rewind();
    void fullScreen();
    void toggleMute();
    // The volume slider was dragged with the left button: sound comes back on.
    void changeVolume(int value);

    // Picking the picture: frame steps while paused (a step while playing pauses, as the pause
    // button would), the disc's titles and chapters, the audio and subtitle tracks. Choosing a
    // title is not the end of the one before: running captures go on. A failing engine call
    // ignores the command.
    void stepForward();
    void stepBackward();
    void nextChapter();
    void previousChapter();
    void chooseTitle(int title);
    void chooseChapter(int chapter);
    void chooseAudioTrack(int id);
    void chooseSubtitleTrack(int id);

    // The position timer's tick: the time display, the position bar, the cover and the controls
    // follow the engine; continuous snapshots are taken and captures end at the end of the
    // title.
    void tick();
    // A left click at x on a position bar barWidth pixels wide.
    void seek(int button, float x, int barWidth);

private:
    // The play and stop actions; they throw EngineError so that opening a disc can report it.
    void playOrThrow();
    void stopOrThrow();
    // Opening a disc: the loading state, handing the engine the target with the options, and
    // the message when the engine refuses it.
    void openDisc(const QString& drive, const QString& label);
    void showLoading();
    void loadDisc(const QString& target);
    void reportInvalidDvd();
    void showCover(bool shown);
    // The time display: the elapsed and total time of the title, or another text.
    void showTime();
    void showText(const QString& text);

    MediaEngine& engine_;
    DriveSource& drives_;
    MessageBoxes& boxes_;
    CaptureController& capture_;
    PlayerView& view_;
    std::unique_ptr<DriveEnumerator> driveEnumerator_;
    QStringList driveMenuCaptions_;
    QString currentDrive_;
    QString currentDiscLabel_;
    QStringList engineOptions_;
    Phase phase_ = Phase::NoDisc;
    // The window comes up with its controls as designed (on) and the cover shown; the load
    // sequence switches the controls off.
    bool controlsEnabled_ = true;
    bool coverShown_ = true;
    bool muted_ = false;
    // The figures the time display shows, while it shows a time.
    bool timeShown_ = false;
    int shownElapsed_ = 0;
    int shownTotal_ = 0;
    // A paused engine keeps the label as it was, until a frame step moves the picture.
    bool steppedWhilePaused_ = false;
};
