// The disc's titles and chapters and the audio and subtitle tracks, from libVLC's descriptions.
#include "engine/VlcEngine.h"

#include <vlc/vlc.h>

// Titles, chapters and tracks are chosen while the disc plays something (a menu included).
void VlcEngine::requireLoaded(const char* what) {
    const TitleTracker::Phase current = phase();
    if (current == TitleTracker::Phase::Title || current == TitleTracker::Phase::Menu ||
        current == TitleTracker::Phase::Ended) {
        const libvlc_state_t state = libvlc_media_player_get_state(player_);
        if (state == libvlc_Playing || state == libvlc_Paused)
            return;
    }
    throw EngineError(std::string(what) + ": nothing plays");
}

QList<TitleEntry> VlcEngine::titles() {
    QList<TitleEntry> list;
    libvlc_title_description_t** descriptions = nullptr;
    const int count = libvlc_media_player_get_full_title_descriptions(player_, &descriptions);
    for (int i = 0; i < count; ++i)
        list.append({i, qint64(descriptions[i]->i_duration),
                     (descriptions[i]->i_flags & libvlc_title_menu) != 0});
    if (count > 0)
        libvlc_title_descriptions_release(descriptions, unsigned(count));
    return list;
}

int VlcEngine::currentTitle() {
    return media_ ? libvlc_media_player_get_title(player_) : -1;
}

void VlcEngine::setTitle(int title) {
    requireLoaded("title");
    const QList<TitleEntry> list = titles();
    if (title < 0 || title >= list.size())
        throw EngineError(QStringLiteral("there is no title %1").arg(title).toStdString());
    if (!list[title].menu) {
        tracker_.titleChosen(title);
        // Where the title had ended, the chosen one is followed from now on.
        tracker_.playOn();
        newTitleFigures();
    }
    libvlc_media_player_set_title(player_, title);
}

QList<ChapterEntry> VlcEngine::chapters() {
    QList<ChapterEntry> list;
    if (!media_)
        return list;
    libvlc_chapter_description_t** descriptions = nullptr;
    const int count = libvlc_media_player_get_full_chapter_descriptions(player_, -1, &descriptions);
    for (int i = 0; i < count; ++i)
        list.append(
            {i, qint64(descriptions[i]->i_time_offset), qint64(descriptions[i]->i_duration)});
    if (count > 0)
        libvlc_chapter_descriptions_release(descriptions, unsigned(count));
    return list;
}

int VlcEngine::currentChapter() {
    return media_ ? libvlc_media_player_get_chapter(player_) : -1;
}

void VlcEngine::setChapter(int chapter) {
    requireTitle("chapter");
    if (chapter < 0 || chapter >= libvlc_media_player_get_chapter_count(player_))
        throw EngineError(QStringLiteral("there is no chapter %1").arg(chapter).toStdString());
    const QList<ChapterEntry> list = chapters();
    readFigures();
    seekTo(chapter < list.size() ? list[chapter].startMs : 0, SeekBy{false, chapter});
}

// Chapters are counted from the picture on show: libVLC's own count runs ahead of it.
void VlcEngine::nextChapter() {
    requireTitle("next chapter");
    const std::optional<int> current = chapterAt(shownTimeMs());
    if (current && *current + 1 < chapters().size()) {
        setChapter(*current + 1);
        return;
    }
    endSearch();
    libvlc_media_player_next_chapter(player_);
}

void VlcEngine::previousChapter() {
    requireTitle("previous chapter");
    const std::optional<int> current = chapterAt(shownTimeMs());
    if (current && *current > 0) {
        setChapter(*current - 1);
        return;
    }
    endSearch();
    libvlc_media_player_previous_chapter(player_);
}

namespace {
// libVLC's track lists, without its "Disable" entry (id -1): the menus have their own "Off".
QList<TrackEntry> trackList(libvlc_track_description_t* first) {
    QList<TrackEntry> list;
    for (const libvlc_track_description_t* track = first; track; track = track->p_next) {
        if (track->i_id < 0)
            continue;
        list.append({track->i_id, QString::fromUtf8(track->psz_name ? track->psz_name : "")});
    }
    if (first)
        libvlc_track_description_list_release(first);
    return list;
}

void requireTrack(const QList<TrackEntry>& list, int id, const char* what) {
    for (const TrackEntry& track : list)
        if (track.id == id)
            return;
    throw EngineError(
        QStringLiteral("there is no %1 track %2").arg(QLatin1String(what)).arg(id).toStdString());
}
} // namespace

QList<TrackEntry> VlcEngine::audioTracks() {
    return media_ ? trackList(libvlc_audio_get_track_description(player_)) : QList<TrackEntry>{};
}

int VlcEngine::audioTrack() {
    return media_ ? libvlc_audio_get_track(player_) : kTrackOff;
}

void VlcEngine::setAudioTrack(int id) {
    requireLoaded("audio track");
    requireTrack(audioTracks(), id, "audio");
    if (libvlc_audio_set_track(player_, id) != 0)
        throw EngineError("libVLC refuses the audio track");
}

QList<TrackEntry> VlcEngine::subtitleTracks() {
    return media_ ? trackList(libvlc_video_get_spu_description(player_)) : QList<TrackEntry>{};
}

int VlcEngine::subtitleTrack() {
    return media_ ? libvlc_video_get_spu(player_) : kTrackOff;
}

void VlcEngine::setSubtitleTrack(int id) {
    requireLoaded("subtitles");
    if (id != kTrackOff)
        requireTrack(subtitleTracks(), id, "subtitle");
    if (libvlc_video_set_spu(player_, id) != 0)
        throw EngineError("libVLC refuses the subtitle track");
}
