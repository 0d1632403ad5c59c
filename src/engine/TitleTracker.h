#pragma once

// Where playback of a disc stands, from libVLC's events, in the order libVLC raised them.
//
// A DVD plays programs of several kinds: the first-play program and menus (flagged as menus in
// libVLC's title descriptions) and titles. The end of a title is libVLC's end of the input, or
// the disc leaving the title for a menu or another title; entering a title from a menu or from
// the first-play program is not an end. After an end the disc may go on playing a menu: choosing
// a title there starts a new title. A chain of titles (one title's end starting the next) stays
// ended until the user plays on.
class TitleTracker {
public:
    enum class Phase {
        Idle,    // nothing started (loaded or stopped)
        Opening, // play was asked for; libVLC has not reported playing yet
        Menu,    // a menu or the first-play program plays, no title has played since the start
        Title,   // a title plays (or is paused)
        Ended,   // the title that played has ended; the disc may still show a menu or a title
        Failed,  // the medium could not be played
    };

    Phase phase() const { return phase_; }
    // The title that ended (index in libVLC's title list), -1 when it is not known.
    int endedTitle() const { return endedTitle_; }
    // The title the disc is on, -1 before libVLC named one.
    int currentTitle() const { return current_; }
    bool currentIsMenu() const { return currentIsMenu_; }

    void reset();
    void open();
    // Play again after an end while the disc still plays something: that is what is followed from
    // then on.
    void playOn();

    // The user chose a title: when the disc gets there it plays as the title followed from
    // then on, not as an end of the one before.
    void titleChosen(int title);

    // libVLC's events.
    void playing();
    void titleChanged(int title, bool menu);
    void endReached();
    void error();
    void stopped();

private:
    Phase phase_ = Phase::Idle;
    int current_ = -1;
    bool currentIsMenu_ = false;
    int endedTitle_ = -1;
    int chosen_ = -1;
};
