#include "app/PlaybackMenu.h"

#include "capture/CaptureController.h"
#include "engine/FrameScale.h"
#include "engine/FrameStore.h"
#include "engine/MediaEngine.h"
#include "i18n/LanguageReader.h"
#include "player/PlayerSession.h"
#include "player/TimeFormat.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>

namespace {
QString lengthText(qint64 ms) {
    int seconds = int(ms / 1000);
    return FormatTime(seconds);
}
} // namespace

PlaybackMenu::PlaybackMenu(QMenuBar* bar, QAction* before, QMenu* editMenu, QAction* editBefore,
                           PlayerSession& session, CaptureController& capture, MediaEngine& engine,
                           ShowHint showHint, QObject* parent)
    : QObject(parent), session_(session), capture_(capture), engine_(engine),
      showHint_(std::move(showHint)) {
    playbackMenu = new QMenu(bar);
    playbackMenu->setObjectName(QStringLiteral("playbackMenu"));
    bar->insertMenu(before, playbackMenu);
    auto submenu = [this](const char* name, void (PlaybackMenu::*fill)()) {
        auto* menu = playbackMenu->addMenu(QString());
        menu->setObjectName(QLatin1String(name));
        connect(menu, &QMenu::aboutToShow, this, fill);
        return menu;
    };
    titleMenu = submenu("titleMenu", &PlaybackMenu::fillTitles);
    chapterMenu = submenu("chapterMenu", &PlaybackMenu::fillChapters);
    audioMenu = submenu("audioMenu", &PlaybackMenu::fillAudio);
    subtitlesMenu = submenu("subtitlesMenu", &PlaybackMenu::fillSubtitles);
    playbackMenu->addSeparator();
    nextFrame = command(playbackMenu, "nextFrame", Qt::Key_Period, Caption::HintNextFrame,
                        &PlaybackMenu::nextFrame_Click);
    previousFrame = command(playbackMenu, "previousFrame", Qt::Key_Comma,
                            Caption::HintPreviousFrame, &PlaybackMenu::previousFrame_Click);
    playbackMenu->addSeparator();
    nextChapter = command(playbackMenu, "nextChapter", Qt::Key_PageDown, Caption::HintNextChapter,
                          &PlaybackMenu::nextChapter_Click);
    previousChapter = command(playbackMenu, "previousChapter", Qt::Key_PageUp,
                              Caption::HintPreviousChapter, &PlaybackMenu::previousChapter_Click);

    keepLastSeconds = command(nullptr, "keepLastSeconds", QKeySequence(Qt::CTRL | Qt::Key_F5),
                              Caption::HintKeepLastSeconds, &PlaybackMenu::keepLastSeconds_Click);
    copyPicture = command(nullptr, "copyPicture", QKeySequence(Qt::CTRL | Qt::Key_C),
                          Caption::HintCopyPicture, &PlaybackMenu::copyPicture_Click);
    editMenu->insertActions(editBefore, {keepLastSeconds, copyPicture});
    enable(false);
}

QAction* PlaybackMenu::command(QMenu* menu, const char* name, const QKeySequence& key,
                               const CaptionText& hint, void (PlaybackMenu::*handler)()) {
    auto* action = new QAction(menu ? static_cast<QObject*>(menu) : this);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, handler);
    connect(action, &QAction::hovered, this, [this, hint] { showHint_(hint); });
    if (menu)
        menu->addAction(action);
    return action;
}

QList<QAction*> PlaybackMenu::commands() const {
    return {nextFrame, previousFrame, nextChapter, previousChapter, keepLastSeconds, copyPicture};
}

void PlaybackMenu::applyCaptions() {
    playbackMenu->setTitle(caption(Caption::PlaybackMenu));
    titleMenu->setTitle(caption(Caption::TitleMenu));
    chapterMenu->setTitle(caption(Caption::ChapterMenu));
    audioMenu->setTitle(caption(Caption::AudioMenu));
    subtitlesMenu->setTitle(caption(Caption::SubtitlesMenu));
    const QList<QPair<QAction*, QPair<CaptionText, CaptionText>>> texts{
        {nextFrame, {Caption::NextFrame, Caption::HintNextFrame}},
        {previousFrame, {Caption::PreviousFrame, Caption::HintPreviousFrame}},
        {nextChapter, {Caption::NextChapter, Caption::HintNextChapter}},
        {previousChapter, {Caption::PreviousChapter, Caption::HintPreviousChapter}},
        {keepLastSeconds, {Caption::KeepLastSeconds, Caption::HintKeepLastSeconds}},
        {copyPicture, {Caption::CopyPicture, Caption::HintCopyPicture}},
    };
    for (const auto& [action, text] : texts) {
        action->setText(caption(text.first));
        // The hint line shows it; tools that read the menu hear it as the entry's description.
        action->setStatusTip(caption(text.second));
        action->setToolTip(caption(text.second));
    }
}

void PlaybackMenu::enable(bool enabled) {
    enabled_ = enabled;
    playbackMenu->menuAction()->setEnabled(enabled);
    for (QAction* action : commands())
        action->setEnabled(enabled);
}

void PlaybackMenu::nextFrame_Click() {
    if (enabled_)
        session_.stepForward();
}

void PlaybackMenu::previousFrame_Click() {
    if (enabled_)
        session_.stepBackward();
}

void PlaybackMenu::nextChapter_Click() {
    if (enabled_)
        session_.nextChapter();
}

void PlaybackMenu::previousChapter_Click() {
    if (enabled_)
        session_.previousChapter();
}

void PlaybackMenu::keepLastSeconds_Click() {
    if (enabled_)
        capture_.keepLastSeconds();
}

// The clipboard gets the picture a snapshot would write: the frame on show at its display size.
void PlaybackMenu::copyPicture_Click() {
    if (!enabled_ || !engine_.frameStore())
        return;
    const auto frame = engine_.frameStore()->latest();
    if (!frame || frame->isNull())
        return;
    QGuiApplication::clipboard()->setImage(FrameScale::still(*frame));
}

void PlaybackMenu::titleList_Click(int title) {
    session_.chooseTitle(title);
}

void PlaybackMenu::chapterList_Click(int chapter) {
    session_.chooseChapter(chapter);
}

void PlaybackMenu::audioList_Click(int id) {
    session_.chooseAudioTrack(id);
}

void PlaybackMenu::subtitleList_Click(int id) {
    session_.chooseSubtitleTrack(id);
}

void PlaybackMenu::addEntry(QMenu* menu, const QString& text, bool current, int value,
                            void (PlaybackMenu::*handler)(int)) {
    QAction* entry = menu->addAction(text);
    entry->setCheckable(true);
    entry->setChecked(current);
    entry->setData(value);
    entry->setStatusTip(caption(Caption::HintListEntry));
    connect(entry, &QAction::triggered, this, [this, handler, value] { (this->*handler)(value); });
    connect(entry, &QAction::hovered, this, [this] { showHint_(Caption::HintListEntry); });
}

void PlaybackMenu::fillTitles() {
    titleMenu->clear();
    const int current = engine_.currentTitle();
    int number = 0;
    for (const TitleEntry& title : engine_.titles()) {
        if (title.menu)
            continue; // the disc's menus are reached through the disc
        const QString text = caption(Caption::TitleEntryName).arg(++number) + QLatin1Char('\t') +
                             lengthText(title.lengthMs);
        addEntry(titleMenu, text, title.index == current, title.index,
                 &PlaybackMenu::titleList_Click);
    }
}

void PlaybackMenu::fillChapters() {
    chapterMenu->clear();
    const int current = engine_.currentChapter();
    for (const ChapterEntry& chapter : engine_.chapters()) {
        const QString text = caption(Caption::ChapterEntryName).arg(chapter.index + 1) +
                             QLatin1Char('\t') + lengthText(chapter.startMs);
        addEntry(chapterMenu, text, chapter.index == current, chapter.index,
                 &PlaybackMenu::chapterList_Click);
    }
}

namespace {
// "Track 1" in the chosen language, with the language the disc gives in libVLC's name of it
// ("Track 1 - [English]").
QString trackText(const TrackEntry& track, int number) {
    QString text = caption(Caption::TrackEntryName).arg(number);
    const qsizetype open = track.name.lastIndexOf(QLatin1Char('['));
    const qsizetype close = track.name.lastIndexOf(QLatin1Char(']'));
    if (open >= 0 && close > open + 1)
        text += QStringLiteral(" [%1]").arg(track.name.mid(open + 1, close - open - 1));
    return text;
}
} // namespace

void PlaybackMenu::fillAudio() {
    audioMenu->clear();
    const int current = engine_.audioTrack();
    int number = 0;
    for (const TrackEntry& track : engine_.audioTracks())
        addEntry(audioMenu, trackText(track, ++number), track.id == current, track.id,
                 &PlaybackMenu::audioList_Click);
}

void PlaybackMenu::fillSubtitles() {
    subtitlesMenu->clear();
    const int current = engine_.subtitleTrack();
    addEntry(subtitlesMenu, caption(Caption::SubtitlesOff), current == MediaEngine::kTrackOff,
             MediaEngine::kTrackOff, &PlaybackMenu::subtitleList_Click);
    int number = 0;
    for (const TrackEntry& track : engine_.subtitleTracks())
        addEntry(subtitlesMenu, trackText(track, ++number), track.id == current, track.id,
                 &PlaybackMenu::subtitleList_Click);
}
