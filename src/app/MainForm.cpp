#include "app/MainForm.h"

#include "app/ExportFlow.h"
#include "app/PlaybackMenu.h"
#include "app/SkinEngine.h"
#include "capture/SnapshotWriter.h"
#include "engine/MediaEngine.h"
#include "i18n/LanguageReader.h"
#include "platform/ErrorLog.h"
#include "platform/InstanceChannel.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "ui/DiscChooser.h"
#include "ui/GlyphButton.h"
#include "ui/MainLayout.h"
#include "ui/OptionsDialog.h"
#include "ui/ProgressBar.h"
#include "ui/TimedSnapshotsDialog.h"
#include "ui/VolumeSlider.h"
#include "ui_MainForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QSplashScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// The client area the window is designed with, in pixels at 15 twips per pixel.
constexpr QSize kDesignClientSize(447, 495);
} // namespace

MainForm::MainForm(const MainFormServices& services, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MainForm>()), services_(services),
      boxes(*services.boxes), engine(*services.engine),
      capture_(engine, boxes, *this, services.freeSpace,
               [this] { return timedSnapshotsDialog()->showPrompt(); }),
      session_(engine, *services.drives, boxes, capture_, *this) {
    ui->setupUi(this);
    resize(kDesignClientSize.width(), kDesignClientSize.height() + menuBar()->sizeHint().height());
    setMinimumSize(size());

    stage = ui->stage;
    logoHide = ui->logoHide;
    movieProgress = ui->movieProgress;
    mediaActionsTitle = ui->mediaActionsTitle;
    timeElapsed = ui->timeElapsed;
    controlFrame = ui->controlFrame;
    rewindButton = ui->rewindButton;
    playButton = ui->playButton;
    pauseButton = ui->pauseButton;
    stopButton = ui->stopButton;
    ffButton = ui->ffButton;
    muteStatus = ui->muteStatus;
    volumeSlider = ui->volumeSlider;
    editTitle = ui->editTitle;
    toolsFrame = ui->toolsFrame;
    snapshotButton = ui->snapshotButton;
    continuousSnapshotsButton = ui->continuousSnapshotsButton;
    timedSnapshotsButton = ui->timedSnapshotsButton;
    fullScreenButton = ui->fullScreenButton;
    toolTips = ui->toolTips;
    fileMenu = ui->fileMenu;
    openMenu = ui->openMenu;
    dvdsList = {ui->dvdsList0};
    setDvdsListCaption(ui->dvdsList0, caption(Caption::NoDvdDrives));
    openImageOrFolder = ui->openImageOrFolder;
    exitCommand = ui->exitCommand;
    editMenu = ui->editMenu;
    snapshotCommand = ui->snapshotCommand;
    continuousSnapshots = ui->continuousSnapshots;
    timedSnapshots = ui->timedSnapshots;
    fullScreenMenu = ui->fullScreenMenu;
    toolsMenu = ui->toolsMenu;
    optionsMenuCommand = ui->optionsMenuCommand;
    helpMenu = ui->helpMenu;
    howToUseMenu = ui->howToUseMenu;
    checkUpdates = ui->checkUpdates;
    aboutMenu = ui->aboutMenu;
    // Its commands go before the separator above Full Screen, with the other captures.
    const QList<QAction*> editActions = editMenu->actions();
    playbackMenu_ = new PlaybackMenu(
        menuBar(), toolsMenu->menuAction(), editMenu,
        editActions.value(editActions.indexOf(fullScreenMenu) - 1, fullScreenMenu), session_,
        capture_, engine, [this](const CaptionText& hint) { ShowHint(hint); }, this);

    if (!services_.exporter) {
        ownExporter_ = std::make_unique<TitleExportJobs>();
        services_.exporter = ownExporter_.get();
    }
    if (!services_.readTitles)
        services_.readTitles = TitleExportJobs::titles;
    ExportFlowHost exportHost;
    exportHost.medium = [this] { return exportMedium(session_.currentDrive(), *services_.drives); };
    exportHost.discLabel = [this] { return session_.currentDiscLabel(); };
    exportHost.showHint = [this](const CaptionText& hint) { ShowHint(hint); };
    exportFlow_ =
        std::make_unique<ExportFlow>(toolsMenu, optionsMenuCommand, boxes, *services_.exporter,
                                     services_.readTitles, std::move(exportHost), this);

    if (!services_.endProcess)
        services_.endProcess = [] { QCoreApplication::exit(0); };
    if (!services_.chooseDisc)
        services_.chooseDisc = chooseDiscImageOrFolder;

    stage->setEngine(&engine);
    // The cover over the video while nothing plays: white, with the program's mark.
    QPalette cover = logoHide->palette();
    cover.setColor(QPalette::Window, Qt::white);
    logoHide->setPalette(cover);
    auto* coverLayout = new QVBoxLayout(logoHide);
    auto* coverMark = new QLabel(logoHide);
    coverMark->setPixmap(QIcon(QStringLiteral(":/stillbeck.png")).pixmap(96));
    coverMark->setAlignment(Qt::AlignCenter);
    coverLayout->addWidget(coverMark);

    movieTimer = new QTimer(this);
    movieTimer->setObjectName(QStringLiteral("movieTimer"));
    movieTimer->setTimerType(Qt::PreciseTimer);
    movieTimer->setInterval(10);
    toolTipTimer = new QTimer(this);
    toolTipTimer->setObjectName(QStringLiteral("toolTipTimer"));
    toolTipTimer->setInterval(3000);

    connectHandlers();
    connectGestures();
    Form_Initialize();
    movieTimer->start();
    toolTipTimer->start();
}

MainForm::~MainForm() = default;

void MainForm::connectHandlers() {
    connect(fileMenu, &QMenu::aboutToShow, this, &MainForm::fileMenu_Click);
    connect(dvdsList[0], &QAction::triggered, this, [this] { dvdsList_Click(0); });
    connect(openImageOrFolder, &QAction::triggered, this, &MainForm::openImageOrFolder_Click);
    connect(exitCommand, &QAction::triggered, this, &MainForm::exitCommand_Click);
    // The Edit menu's shortcuts act only while the menu itself is enabled.
    const auto whileEditEnabled = [this](void (MainForm::*handler)()) {
        return [this, handler] {
            if (session_.controlsEnabled())
                (this->*handler)();
        };
    };
    // The full-screen view is a window of its own: the Edit menu's shortcuts work over it too.
    for (QAction* command : {snapshotCommand, continuousSnapshots, timedSnapshots, fullScreenMenu})
        command->setShortcutContext(Qt::ApplicationShortcut);
    connect(snapshotCommand, &QAction::triggered, this,
            whileEditEnabled(&MainForm::snapshotCommand_Click));
    connect(continuousSnapshots, &QAction::triggered, this,
            whileEditEnabled(&MainForm::continuousSnapshots_Click));
    connect(timedSnapshots, &QAction::triggered, this,
            whileEditEnabled(&MainForm::timedSnapshots_Click));
    connect(fullScreenMenu, &QAction::triggered, this,
            whileEditEnabled(&MainForm::fullScreenMenu_Click));
    connect(optionsMenuCommand, &QAction::triggered, this, &MainForm::optionsMenuCommand_Click);
    connect(howToUseMenu, &QAction::triggered, this, &MainForm::howToUseMenu_Click);
    connect(checkUpdates, &QAction::triggered, this, &MainForm::checkUpdates_Click);
    connect(aboutMenu, &QAction::triggered, this, &MainForm::aboutMenu_Click);

    connect(playButton, &QPushButton::clicked, this, &MainForm::playButton_Click);
    connect(pauseButton, &QPushButton::clicked, this, &MainForm::pauseButton_Click);
    connect(stopButton, &QPushButton::clicked, this, &MainForm::stopButton_Click);
    connect(ffButton, &QPushButton::clicked, this, &MainForm::ffButton_Click);
    connect(rewindButton, &QPushButton::clicked, this, &MainForm::rewindButton_Click);
    connect(fullScreenButton, &QPushButton::clicked, this, &MainForm::fullScreenButton_Click);
    connect(muteStatus, &QPushButton::clicked, this, &MainForm::muteStatus_Click);
    // The mute button's name follows the sound state, as its hint does.
    connect(muteStatus, &GlyphButton::glyphChanged, this, &MainForm::applyAccessibleNames);
    connect(snapshotButton, &QPushButton::clicked, this, &MainForm::snapshotButton_Click);
    connect(continuousSnapshotsButton, &QPushButton::clicked, this,
            &MainForm::continuousSnapshotsButton_Click);
    connect(timedSnapshotsButton, &QPushButton::clicked, this,
            &MainForm::timedSnapshotsButton_Click);
    connect(volumeSlider, &VolumeSlider::mouseMoved, this, &MainForm::volumeSlider_MouseMove);
    connect(movieProgress, &ProgressBar::mouseDown, this, &MainForm::movieProgress_MouseDown);

    connect(movieTimer, &QTimer::timeout, this, &MainForm::movieTimer_Timer);
    connect(toolTipTimer, &QTimer::timeout, this, &MainForm::toolTipTimer_Timer);
    // The writer reports from its own thread.
    if (SnapshotWriter* writer = services_.writer) {
        connect(writer, &SnapshotWriter::writeFailed, &capture_, &CaptureController::writeFailed,
                Qt::QueuedConnection);
        connect(writer, &SnapshotWriter::writeRecovered, &capture_,
                &CaptureController::writeRecovered, Qt::QueuedConnection);
    }

    // Pointer moves over the buttons show their hints.
    for (const auto& hinted : hintedControls()) {
        hinted.first->setMouseTracking(true);
        hinted.first->installEventFilter(this);
    }
}

bool MainForm::startUp() {
    Form_Load();
    // The already-running branch has closed the window; it must never appear.
    if (services_.instanceLock && !services_.instanceLock->held())
        return false;
    show();
    // Opened like a File menu choice once the window is up and the event loop runs.
    if (!services_.discArgument.isEmpty())
        QTimer::singleShot(0, this, [this] { openArgument(services_.discArgument); });
    return true;
}

void MainForm::Form_Initialize() {
    if (services_.showSplash) {
        splashForm = new QSplashScreen(QPixmap(QStringLiteral(":/splash.png")));
        splashForm->setAttribute(Qt::WA_DeleteOnClose);
        splashForm->show();
        splashForm->repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    skinEngine = std::make_unique<SkinEngine>();
    skinEngine->setTarget(SkinEngine::AllTopLevelWindows);
    skinEngine->setEnabled(1);
}

void MainForm::Form_Load() {
    if (services_.instanceLock && services_.instanceLock->anotherInstanceRunning()) {
        // A start with a disc gives it to the window already open and ends without a word.
        if (!handOverDisc())
            boxes.show(caption(Caption::AlreadyRunning), caption(Caption::WarningTitle),
                       MessageBoxes::Icon::Warning);
        if (splashForm)
            splashForm->close();
        splashForm = nullptr;
        int cancel = 0;
        Form_Unload(cancel);
        return;
    }
    if (services_.instanceLock)
        services_.instanceLock->create();
    if (services_.instanceChannel && services_.instanceChannel->listen())
        connect(services_.instanceChannel, &InstanceChannel::received, this,
                &MainForm::instanceChannel_Received, Qt::UniqueConnection);

    session_.enableControls(false);
    logoHide->move(stage->x(), logoHide->y());
    try {
        volumeSlider->setValue(engine.volume());
    } catch (const EngineError&) {
        // An engine without a volume leaves the slider at its design value.
    }
    volumeSlider_MouseMove(0, 0, 0, 0);
    movieProgress->setFloatValue(0);

    // Distance of each bottom-anchored band from the client area's bottom edge, in twips.
    const float tpp = twipsPerPixel();
    const float scaleHeight = static_cast<float>(clientHeight()) * tpp;
    const auto offset = [&](QWidget* w) {
        return scaleHeight - 7 - static_cast<float>(w->y()) * tpp;
    };
    toolsFrameBottom = offset(toolsFrame);
    editTitleBottom = offset(editTitle);
    controlFrameBottom = offset(controlFrame);
    mediaActionsTitleBottom = offset(mediaActionsTitle);
    timeElapsedBottom = offset(timeElapsed);
    movieProgressBottom = offset(movieProgress);
    offsetsRecorded_ = true;

    skinEngine->loadSkin(platform::programFile(QStringLiteral("Skin.skf")));
    skinEngine->applySkin();

    Settings& settings = Settings::current();
    settingsRecovered = !SettingsFile::read(SettingsFile::path(), settings);
    if (settingsRecovered)
        settingsRecoveryWritten = SettingsFile::recover(SettingsFile::path(), settings);

    session_.BuildEngineOptions();
    Form_Resize();
    ApplyCaptions();

    if (splashForm)
        splashForm->close();
    splashForm = nullptr;

    if (settingsRecovered)
        showSettingsRecoveryMessage();
}

void MainForm::showSettingsRecoveryMessage() {
    const QString second = settingsRecoveryWritten
                               ? caption(Caption::ConfigRecreated)
                               : caption(Caption::ConfigNotWritten) + QStringLiteral("\r\r") +
                                     QDir::toNativeSeparators(SettingsFile::path());
    boxes.show(caption(Caption::ConfigError) + QLatin1Char('\r') + second,
               caption(Caption::ErrorTitle), MessageBoxes::Icon::Critical);
}

void MainForm::Form_Unload(int& cancel) {
    if (capture_.running()) {
        const auto answer = boxes.show(QString::fromLatin1(FixedText::ExitWhileCapturing),
                                       QString::fromLatin1(FixedText::AppTitle),
                                       MessageBoxes::Icon::Warning, MessageBoxes::Buttons::YesNo);
        if (answer == MessageBoxes::Answer::No) {
            cancel = 1;
            return;
        }
    }
    if (exportFlow_->running()) {
        const auto answer = boxes.show(caption(Caption::ExitWhileExporting),
                                       QString::fromLatin1(FixedText::AppTitle),
                                       MessageBoxes::Icon::Warning, MessageBoxes::Buttons::YesNo);
        if (answer == MessageBoxes::Answer::No) {
            cancel = 1;
            return;
        }
        // The images written so far stay; the exporter ends within a second.
        exportFlow_->stopForQuit();
    }
    if (timedSnapshotsDialog_)
        timedSnapshotsDialog_->close();
    if (optionsDialog_)
        optionsDialog_->unload();
    unloadAboutForm();
    services_.endProcess();
}

void MainForm::exitCommand_Click() {
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel == 0)
        hide();
}

void MainForm::closeEvent(QCloseEvent* event) {
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0)
        event->ignore();
    else
        event->accept();
}

void MainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void MainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Restoring from minimised may leave the size as it was, so no resize event follows.
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

TimedSnapshotsDialog* MainForm::timedSnapshotsDialog() {
    if (!timedSnapshotsDialog_)
        timedSnapshotsDialog_ = new TimedSnapshotsDialog(boxes, this);
    return timedSnapshotsDialog_;
}

OptionsDialog* MainForm::optionsDialog() {
    if (!optionsDialog_ || optionsDialog_->isUnloaded()) {
        OptionsDialogHost host;
        host.currentDrive = [this] { return session_.currentDrive(); };
        host.logoHideVisible = [this] { return session_.coverShown(); };
        optionsDialog_ = new OptionsDialog(boxes, std::move(host), this);
    }
    return optionsDialog_;
}
