#pragma once

#include "engine/SnapshotSink.h"

#include <QMetaType>
#include <QSize>
#include <QString>
#include <vector>

// One title of a disc as the export lists it.
struct TitleSummary {
    int number = 0;                    // from 1, as the disc's title table numbers them
    qint64 lengthMs = 0;               // its running time
    std::vector<qint64> chapterStarts; // the time each chapter starts at, from 0; at least one
    QSize displaySize;                 // its pictures' size as stills have it (768x576, 1024x576)
    double frameRate = 25;             // pictures per second
};

// The titles of a medium (a drive's device, a disc image or a folder holding VIDEO_TS), or why
// they could not be read.
struct TitleList {
    enum class Problem { None, Unreadable, Encrypted };
    std::vector<TitleSummary> titles;
    Problem problem = Problem::None;
    QString detail; // for the error log: what exactly was wrong
};

enum class ExportMode {
    EveryInterval, // the picture shown at 0, N, 2N... seconds of the range
    EveryFrame,    // every distinct picture of the range
    PerShot,       // the first picture after each scene change
    SheetOnly      // no single images: the contact sheet alone
};

// A contact sheet: columns x rows thumbnails spread evenly over the range, in an image this many
// pixels wide.
struct SheetLayout {
    int columns = 6;
    int rows = 8;
    int width = 1920;
};

// What to export and where to.
struct ExportRequest {
    QString medium;    // as for TitleList
    QString discLabel; // heads the contact sheet
    QString titleName; // the sheet's heading's name of the title ("Title 2"); empty: in English
    int title = 1;
    int firstChapter = 1;
    int lastChapter = 0; // 0: to the title's end
    ExportMode mode = ExportMode::EveryInterval;
    int intervalSeconds = 10; // EveryInterval: 1 to 600
    bool sheet = false;       // also a contact sheet (always with SheetOnly)
    SheetLayout sheetLayout;
    QString folder; // the disc's "<label> Images" folder
    QString prefix;
    SnapshotFormat format = SnapshotFormat::Png;
};

// How far an export is; sent to the user-interface thread a few times a second.
struct ExportProgress {
    double share = 0;   // of the range done, 0 to 1
    quint64 images = 0; // files written so far (the sheet included)
    qint64 msLeft = -1; // estimated; -1 while unknown
};

// How an export ended.
struct ExportReport {
    enum class Outcome {
        Done,
        Cancelled,
        WriteFailed, // folder and reason say why; the images written so far are kept
        Unreadable,  // the disc's tables could not be read (detail says what)
        Encrypted    // the title is encrypted and no library to read it is present
    };
    Outcome outcome = Outcome::Done;
    quint64 images = 0;         // files written, the sheet included
    quint64 skippedSectors = 0; // sectors that could not be read and were left out
    QString folder;
    QString reason;
    QString detail;
};

Q_DECLARE_METATYPE(ExportProgress)
Q_DECLARE_METATYPE(ExportReport)
