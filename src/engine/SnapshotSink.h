#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

struct VideoFrame;

enum class SnapshotFormat { Png, Jpg };

// What a disc's options say about its images, read once when the disc is handed to the engine.
struct SnapshotOptions {
    QString folder;                              // "snapshot-path="; nothing is written without it
    QString prefix;                              // "snapshot-prefix="
    SnapshotFormat format = SnapshotFormat::Png; // "snapshot-format=", PNG unless JPG/JPEG
    bool sequential = false;                     // "snapshot-sequential"
    bool preview = true;                         // cleared by "no-snapshot-preview"

    // Reads the options of a media item ("name=value" or flags, an optional leading ':' as in
    // VLC's media options); unknown options are ignored.
    static SnapshotOptions fromItemOptions(const QStringList& options);
};

// Where the engine hands its snapshot requests: the options of each disc as it is loaded, and
// one request per press of the bound snapshot key, with the newest frame at that moment (null
// when none was shown yet). Called on the user-interface thread; must return at once.
class SnapshotSink {
public:
    virtual ~SnapshotSink() = default;

    virtual void setOptions(const SnapshotOptions& options) = 0;
    virtual void snapshotRequested(std::shared_ptr<const VideoFrame> frame) = 0;
    // One image of each frame, in order, numbered like a series of requests.
    virtual void seriesRequested(std::vector<std::shared_ptr<const VideoFrame>> frames) {
        for (auto& frame : frames)
            snapshotRequested(std::move(frame));
    }
};
