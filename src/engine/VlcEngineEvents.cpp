// The engine's side of libVLC's events: queued on libVLC's threads, applied to the title tracker on
// the user-interface thread, with the disc's title table telling menus from titles.
#include "engine/VlcEngine.h"

#include "engine/VlcVideoSink.h"

#include <vlc/vlc.h>

// Called on libVLC's threads, which must not call back into libVLC (its stop waits for them):
// events are only queued here.
void VlcEngine::onEvent(const libvlc_event_t* event, void* opaque) {
    static_cast<VlcEngine*>(opaque)->queueEvent(event);
}

void VlcEngine::queueEvent(const libvlc_event_t* event) {
    switch (event->type) {
    case libvlc_MediaPlayerVout:
        sink_->forgetAspect();
        return;
    case libvlc_MediaPlayerESAdded:
        sink_->forgetAspect();
        // A new stream may come with a new audio output, which starts at libVLC's own volume.
        QMetaObject::invokeMethod(this, &VlcEngine::applyVolume, Qt::QueuedConnection);
        return;
    default:
        break;
    }
    const int title = event->type == libvlc_MediaPlayerTitleChanged
                          ? event->u.media_player_title_changed.new_title
                          : -1;
    std::lock_guard lock(eventsMutex_);
    events_.push_back({int(event->type), title});
}

void VlcEngine::applyEvents() {
    std::vector<Event> pending;
    {
        std::lock_guard lock(eventsMutex_);
        pending.swap(events_);
    }
    for (const Event& event : pending) {
        const TitleTracker::Phase before = tracker_.phase();
        const int titleBefore = tracker_.currentTitle();
        switch (event.type) {
        case libvlc_MediaPlayerPlaying:
            tracker_.playing();
            break;
        case libvlc_MediaPlayerTitleChanged:
            tracker_.titleChanged(event.title, isMenuTitle(event.title));
            break;
        case libvlc_MediaPlayerEndReached:
            tracker_.endReached();
            break;
        case libvlc_MediaPlayerEncounteredError:
            tracker_.error();
            break;
        case libvlc_MediaPlayerStopped:
            tracker_.stopped();
            break;
        default:
            break;
        }
        const TitleTracker::Phase after = tracker_.phase();
        if (after == before) {
            // A title the user chose follows the one before without an end between.
            if (after == TitleTracker::Phase::Title && tracker_.currentTitle() != titleBefore)
                newTitleFigures();
            continue;
        }
        if (after == TitleTracker::Phase::Ended && before == TitleTracker::Phase::Title) {
            // libVLC's figures already belong to what follows: the ended title's own length
            // stands, from the disc's title table when it is known.
            endSeek();
            const qint64 duration = titleDuration(tracker_.endedTitle());
            if (duration > 0)
                lastLength_ = duration;
            lastTime_ = lastLength_;
            lastPosition_ = 1.0f;
        } else if (after == TitleTracker::Phase::Title) {
            newTitleFigures();
        }
        if (after == TitleTracker::Phase::Title || after == TitleTracker::Phase::Menu)
            applyVolume();
    }
}

// A new title: its figures start afresh.
void VlcEngine::newTitleFigures() {
    endSearch();
    endSeek();
    lastPosition_ = 0;
    lastTime_ = 0;
    lastLength_ = 0;
}

void VlcEngine::loadTitleDescriptions() {
    titles_.clear();
    libvlc_title_description_t** descriptions = nullptr;
    const int count = libvlc_media_player_get_full_title_descriptions(player_, &descriptions);
    for (int i = 0; i < count; ++i)
        titles_.emplace_back((descriptions[i]->i_flags & libvlc_title_menu) != 0,
                             qint64(descriptions[i]->i_duration));
    if (count > 0)
        libvlc_title_descriptions_release(descriptions, unsigned(count));
}

bool VlcEngine::isMenuTitle(int title) {
    if (title < 0)
        return false;
    if (size_t(title) >= titles_.size())
        loadTitleDescriptions();
    return size_t(title) < titles_.size() && titles_[size_t(title)].first;
}

qint64 VlcEngine::titleDuration(int title) {
    if (title < 0)
        return 0;
    if (size_t(title) >= titles_.size())
        loadTitleDescriptions();
    return size_t(title) < titles_.size() ? titles_[size_t(title)].second : 0;
}

TitleTracker::Phase VlcEngine::phase() {
    applyEvents();
    return tracker_.phase();
}
