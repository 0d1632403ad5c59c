#pragma once

#include "FakeDriveSource.h"
#include "app/EngineAssembly.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class VlcEngine;

// The real engine, with its writer and full-screen view, on the authored discs: D: movie.iso,
// E: wide.iso (16:9), F: notdvd.iso (a data disc), G: a drive without a disc, M: menu.iso and
// I: interlaced.iso, S: steps.iso (two titles, numbered frames, two audio tracks, subtitles),
// H: shuttle.iso (one 30 s title of numbered frames, chapters at 0, 10.2 and 19.8 s).
// Test classes derive from it and call setUp() and tearDown() around each
// case.
class EngineFixture {
protected:
    static constexpr int kSnapshotKey = 83;
    static constexpr int kStartMs = 8000;
    // A seek's stages each wait up to 3 s for pictures (1 s more for an echo): on a busy machine
    // a seek may take about 10 s before it gives up and shows what it has.
    static constexpr int kSeekMs = 15000;

    // The five options of a disc with images of `format` into `folder`.
    static QStringList itemOptions(const QString& folder,
                                   const QString& format = QStringLiteral("PNG"));
    // The name of a disc image that is missing, or empty when all are there.
    static QString missingDisc();

    void setUp();
    void tearDown();

    // Serial number of the newest picture, 0 while there is none.
    quint64 framesSeen() const;
    void pressSnapshot();
    // Plays D: until pictures arrive and the title's length is known.
    bool startMovie();
    // The menu of menu.iso is a solid blue picture.
    bool isMenuPicture() const;

    std::unique_ptr<FakeDriveSource> drives_;
    std::unique_ptr<QTemporaryDir> snapshots_;
    std::unique_ptr<EngineAssembly> assembly_;
    VlcEngine* engine_ = nullptr; // the assembly's
};
