#include "engine/TitleTracker.h"

#include <utility>

void TitleTracker::reset() {
    *this = TitleTracker();
}

void TitleTracker::open() {
    reset();
    phase_ = Phase::Opening;
}

void TitleTracker::playOn() {
    if (phase_ == Phase::Ended)
        phase_ = currentIsMenu_ ? Phase::Menu : Phase::Title;
}

void TitleTracker::titleChosen(int title) {
    chosen_ = title;
}

void TitleTracker::playing() {
    if (phase_ == Phase::Opening)
        phase_ = currentIsMenu_ ? Phase::Menu : Phase::Title;
}

void TitleTracker::titleChanged(int title, bool menu) {
    // libVLC repeats the current title at chapter changes and when a menu loops.
    if (title == current_)
        return;
    const int previous = current_;
    const bool previousWasMenu = currentIsMenu_;
    current_ = title;
    currentIsMenu_ = menu;
    // A choice holds for the next change of title only.
    const int chosen = std::exchange(chosen_, -1);
    if (title == chosen) {
        if (!menu && phase_ != Phase::Opening && phase_ != Phase::Idle && phase_ != Phase::Failed)
            phase_ = Phase::Title;
        return;
    }
    switch (phase_) {
    case Phase::Menu:
        if (!menu)
            phase_ = Phase::Title;
        break;
    case Phase::Title:
        phase_ = Phase::Ended;
        endedTitle_ = previous;
        break;
    case Phase::Ended:
        // A title chosen in the menu that followed the end plays as a new title.
        if (!menu && previousWasMenu)
            phase_ = Phase::Title;
        break;
    default:
        break;
    }
}

void TitleTracker::endReached() {
    switch (phase_) {
    case Phase::Opening:
        phase_ = Phase::Failed;
        break;
    case Phase::Menu:
    case Phase::Title:
        endedTitle_ = current_;
        phase_ = Phase::Ended;
        break;
    default:
        break;
    }
}

void TitleTracker::error() {
    if (phase_ != Phase::Idle)
        phase_ = Phase::Failed;
}

void TitleTracker::stopped() {
    if (phase_ == Phase::Opening)
        phase_ = Phase::Failed;
}
