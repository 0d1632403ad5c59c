#pragma once

#include "engine/MediaEngine.h"

#include <QSet>
#include <QStringList>

// A media engine whose state the test sets directly and whose calls it can read back.
class FakeEngine : public MediaEngine {
public:
    // State, as the engine would report it.
    int count = 0;
    bool isPlaying = false;
    float pos = -1.0f; // negative: nothing loaded
    int seconds = 0;
    int total = 0;
    int vol = 50;
    bool muted = false;
    // False: play() is accepted but the title has not started yet (a disc still loading).
    bool startsPlaying = true;
    // True: the medium turned out not to be playable (after play() returned).
    bool hasFailed = false;

    // What happened.
    QStringList calls;
    QString lastTarget;
    QStringList lastOptions;
    int lastMode = -1;
    int lastPosition = -1;
    QList<QPair<QString, qint32>> variables;

    // Failures to stage: member names ("addTarget", "play", "position", …) that throw, or all.
    QSet<QString> failing;
    bool failEverything = false;

    void loadTitle(int lengthSeconds = 20) {
        count = 1;
        isPlaying = true;
        pos = 0.0f;
        seconds = 0;
        total = lengthSeconds;
    }

    void addTarget(const QString& target, const QStringList& options, int mode,
                   int position) override {
        check("addTarget");
        lastTarget = target;
        lastOptions = options;
        lastMode = mode;
        lastPosition = position;
        count = 1;
        hasFailed = false;
    }
    void playlistClear() override {
        check("playlistClear");
        count = 0;
    }
    int playlistCount() override {
        quietCheck("playlistCount");
        return count;
    }
    void play() override {
        check("play");
        if (count > 0 && startsPlaying) {
            isPlaying = true;
            if (pos < 0)
                pos = 0;
        }
    }
    void pause() override {
        check("pause");
        isPlaying = false;
    }
    void stop() override {
        check("stop");
        isPlaying = false;
        pos = -1.0f;
    }
    void shuttle(int s) override { check(QStringLiteral("shuttle %1").arg(s)); }
    void stepForward() override { check("stepForward"); }
    void stepBackward() override { check("stepBackward"); }
    void fullscreen() override { check("fullscreen"); }
    void toggleMute() override {
        check("toggleMute");
        muted = !muted;
    }
    bool playing() override {
        quietCheck("playing");
        return isPlaying;
    }
    bool failed() override {
        quietCheck("failed");
        return hasFailed;
    }
    float position() override {
        quietCheck("position");
        return pos;
    }
    void setPosition(float p) override {
        check(QStringLiteral("setPosition %1").arg(p));
        pos = p;
    }
    int time() override {
        quietCheck("time");
        return seconds;
    }
    int length() override {
        quietCheck("length");
        return total;
    }
    int volume() override {
        quietCheck("volume");
        return vol;
    }
    void setVolume(int v) override {
        check(QStringLiteral("setVolume %1").arg(v));
        vol = v;
    }
    void setVariable(const QString& name, qint32 value) override {
        check(QStringLiteral("setVariable %1 %2").arg(name).arg(value));
        variables.append({name, value});
    }

    // Snapshot requests: pairs of key-snapshot/key-pressed calls.
    int snapshotRequests() const {
        int n = 0;
        for (const auto& v : variables)
            n += v.first == QLatin1String("key-pressed") ? 1 : 0;
        return n;
    }

private:
    // Commands are logged; queries are not, so that the log reads like what the user caused.
    void check(const QString& call) {
        calls.append(call);
        quietCheck(call.section(QLatin1Char(' '), 0, 0));
    }
    void quietCheck(const QString& member) {
        if (failEverything || failing.contains(member))
            throw EngineError(("staged failure of " + member).toStdString());
    }
};
