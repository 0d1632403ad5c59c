#pragma once

#include "app/ExportJobs.h"
#include "capture/CaptureController.h"
#include "capture/CaptureView.h"
#include "i18n/CaptionTable.h"
#include "player/PlayerSession.h"
#include "player/PlayerView.h"
#include "ui/MainLayout.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class AboutForm;
class DriveSource;
class ExportFlow;
class FullScreenView;
class GlyphButton;
class InstanceChannel;
class InstanceLock;
class MediaEngine;
class MessageBoxes;
class OptionsDialog;
class PlaybackMenu;
class ProgressBar;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QSplashScreen;
class QTimer;
class SkinEngine;
class SnapshotWriter;
class TimedSnapshotsDialog;
class VideoStage;
class VolumeSlider;

namespace Ui {
class MainForm;
}

// What the main window works with. The application passes the real ones; tests pass fakes.
struct MainFormServices {
    MessageBoxes* boxes = nullptr;
    MediaEngine* engine = nullptr;
    DriveSource* drives = nullptr;
    InstanceLock* instanceLock = nullptr;
    // The engine's snapshot sink, whose reports of failed images reach the capture controller;
    // null for an engine that writes none.
    SnapshotWriter* writer = nullptr;
    // The engine's full-screen view, over which the window's keys and wheel work too; may be null.
    FullScreenView* fullScreen = nullptr;
    // Where a second start hands over its disc; null: a second start only hears "034".
    InstanceChannel* instanceChannel = nullptr;
    // What the program was started with (a path, a file:// URI or a drive's device), opened once
    // the window shows; empty for none.
    QString discArgument;
    // Free bytes available to the user on the volume of a path; false when it cannot be queried.
    std::function<bool(const QString& path, qint64* bytes)> freeSpace;
    // Ends the process once the main window has closed.
    std::function<void()> endProcess;
    // Asks for a DVD image file or disc folder; empty text when the user cancels. Default: the
    // program's file dialog.
    std::function<QString(QWidget* owner, const QString& title)> chooseDisc;
    bool showSplash = true;
    // Exports titles in the background; null: the program's exporter.
    ExportJobs* exporter = nullptr;
    // Reads a medium's titles for the export dialog (off the user-interface thread). Default: the
    // program's exporter's.
    ReadTitles readTitles;
};

// The player window: the video area, the controls, the menus and dialogs, the position and hint
// timers and the window's life cycle. What the controls do is done by the player session and the
// capture controller; the handlers hand the user's actions on to them, and the window shows what
// they tell it.
class MainForm : public QMainWindow, private PlayerView, private CaptureView {
    Q_OBJECT
public:
    explicit MainForm(const MainFormServices& services, QWidget* parent = nullptr);
    ~MainForm() override;

    // Runs the load sequence and then shows the window. False when another instance is running:
    // the window is not shown and the process is to end.
    bool startUp();

    // Life cycle.
    void Form_Initialize();
    void Form_Load();
    void Form_Unload(int& cancel);
    void Form_Resize();
    void exitCommand_Click();
    void ApplyCaptions();

    // Drives and discs.
    void fileMenu_Click();
    void dvdsList_Click(int index);
    // The entry below the drives: a DVD image or disc folder, opened like a disc in a drive.
    void openImageOrFolder_Click();
    // A disc named on the command line, dropped on the window or handed over by a second start.
    void openArgument(const QString& argument);
    void BuildEngineOptions();
    void optionsMenuCommand_Click();
    void reloadDisc();

    // Transport.
    void EnablePlaybackControls(bool enabled) override;
    void playButton_Click();
    void pauseButton_Click();
    void stopButton_Click();
    void ffButton_Click();
    void rewindButton_Click();
    void fullScreenButton_Click();
    void fullScreenMenu_Click();
    void muteStatus_Click();
    void volumeSlider_MouseMove(int button, int shift, float x, float y);
    void muteStatus_MouseMove(int button, int shift, float x, float y);
    // The habits of other players: Space plays or pauses, a double-click on the picture toggles
    // full screen, the wheel over the picture or the slider changes the volume by 5 a notch.
    void playPauseCommand_Click();
    void stage_DblClick();
    void volume_MouseWheel(int angle);
    // A click on the slider's track or a key moved it (a slider action): the volume follows what
    // the slider shows, as after a drag.
    void volumeSlider_Action(int action);

    // Position display and seeking.
    void movieTimer_Timer();
    void movieProgress_MouseDown(int button, int shift, float x, float y);

    // Capture.
    void snapshotCommand_Click();
    void snapshotButton_Click();
    bool CaptureAllowed();
    void continuousSnapshotsButton_Click();
    void continuousSnapshots_Click();
    void timedSnapshotsButton_Click();
    void timedSnapshots_Click();

    // Hint line.
    void ShowHint(const CaptionText& text);
    void toolTipTimer_Timer();
    // Names the glyph buttons, the volume slider and the position bar for assistive tools, in the
    // chosen language (the captions of their hints).
    void applyAccessibleNames();

    // Help menu.
    void howToUseMenu_Click();
    void checkUpdates_Click();
    void aboutMenu_Click();
    // The program's own help window, shown when the desktop cannot open the help page; null
    // until then.
    QWidget* helpWindow() const { return helpWindow_; }

    // The disc, the transport and the position display; and the captures.
    PlayerSession& session() { return session_; }
    CaptureController& capture() { return capture_; }
    // Tools > Export Title and the export it starts.
    ExportFlow& exportFlow() { return *exportFlow_; }

    bool settingsRecovered = false;
    bool settingsRecoveryWritten = false;

    TimedSnapshotsDialog* timedSnapshotsDialog();
    // Created when first touched, and again after a Cancel has unloaded it.
    OptionsDialog* optionsDialog();
    // The about box, loaded (hidden) when it is not; closing it unloads it.
    AboutForm* aboutForm();
    void unloadAboutForm();

    // Bottom offsets of the bands anchored to the bottom edge, in twips.
    float toolsFrameBottom = 0, editTitleBottom = 0, controlFrameBottom = 0,
          mediaActionsTitleBottom = 0, timeElapsedBottom = 0, movieProgressBottom = 0;
    // The video area in twips as the last layout pass left it; the next pass starts from it.
    TwipsRect stageRect = MainLayout::kDesignStage;

    // The caption a drive menu item stands for (its shown text escapes "&").
    static QString dvdsListCaption(const QAction* item);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The controls, named as in the window definition (tests find them by those names).
    VideoStage* stage = nullptr;
    QFrame* logoHide = nullptr;
    ProgressBar* movieProgress = nullptr;
    QLabel* mediaActionsTitle = nullptr;
    QLabel* timeElapsed = nullptr;
    QFrame* controlFrame = nullptr;
    GlyphButton* rewindButton = nullptr;
    GlyphButton* playButton = nullptr;
    GlyphButton* pauseButton = nullptr;
    GlyphButton* stopButton = nullptr;
    GlyphButton* ffButton = nullptr;
    GlyphButton* muteStatus = nullptr;
    VolumeSlider* volumeSlider = nullptr;
    QLabel* editTitle = nullptr;
    QFrame* toolsFrame = nullptr;
    GlyphButton* snapshotButton = nullptr;
    GlyphButton* continuousSnapshotsButton = nullptr;
    GlyphButton* timedSnapshotsButton = nullptr;
    GlyphButton* fullScreenButton = nullptr;
    QLabel* toolTips = nullptr;

    QMenu* fileMenu = nullptr;
    QMenu* openMenu = nullptr;
    QList<QAction*> dvdsList;
    QAction* openImageOrFolder = nullptr;
    QAction* exitCommand = nullptr;
    QMenu* editMenu = nullptr;
    QAction* snapshotCommand = nullptr;
    QAction* continuousSnapshots = nullptr;
    QAction* timedSnapshots = nullptr;
    QAction* fullScreenMenu = nullptr;
    QMenu* toolsMenu = nullptr;
    QAction* optionsMenuCommand = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* howToUseMenu = nullptr;
    QAction* checkUpdates = nullptr;
    QAction* aboutMenu = nullptr;
    QAction* playPauseCommand = nullptr; // Space, in no menu
    // The Playback menu and the Edit menu's picture commands.
    PlaybackMenu* playbackMenu_ = nullptr;

    QTimer* movieTimer = nullptr;
    QTimer* toolTipTimer = nullptr;

    QSplashScreen* splashForm = nullptr;

    // What the session and the capture controller show.
    void showLoading() override;
    void showTimeText(const QString& text) override;
    void showProgress(float percent) override;
    void showCover(bool shown) override;
    void enablePauseAndShuttle(bool enabled) override;
    void showMuted(bool muted, bool paintNow) override;
    void continuousCaptureChanged(bool running) override;
    void timedCaptureChanged(bool running) override;

    void restMovieTimer();
    void connectHandlers();
    void connectGestures();
    // The second start's branch: hands the disc argument to the running instance; false when
    // there is none to hand or nobody took it.
    bool handOverDisc();
    // A second start handed over a disc: it opens here, and the window comes to the front.
    void instanceChannel_Received(const QString& argument);
    // Sets the engine's volume to value (clamped to the slider) as a left-button drag would.
    void setVolumeFromUser(int value);
    // The buttons that name themselves on the hint line while the pointer moves over them, with
    // that name (the mute button's follows the sound state).
    QList<QPair<QWidget*, CaptionText>> hintedControls() const;
    void setDvdsListCaption(QAction* item, const QString& caption);
    void showSettingsRecoveryMessage();
    float twipsPerPixel() const;
    int clientHeight() const;

    bool offsetsRecorded_ = false;
    // The position timer was stopped for want of anything to follow (not by a test's hand).
    bool movieTimerResting_ = false;
    // Wheel turn short of a notch (fine wheels and touchpads send parts of one), in 120ths.
    int wheelRemainder_ = 0;
    std::unique_ptr<Ui::MainForm> ui;
    MainFormServices services_;
    MessageBoxes& boxes;
    MediaEngine& engine;
    CaptureController capture_;
    PlayerSession session_;
    std::unique_ptr<SkinEngine> skinEngine;
    TimedSnapshotsDialog* timedSnapshotsDialog_ = nullptr;
    QPointer<OptionsDialog> optionsDialog_;
    QPointer<AboutForm> aboutForm_;
    QPointer<QWidget> helpWindow_;
    // The program's exporter when the services bring none; it outlives the flow driving it.
    std::unique_ptr<ExportJobs> ownExporter_;
    std::unique_ptr<ExportFlow> exportFlow_;
};
