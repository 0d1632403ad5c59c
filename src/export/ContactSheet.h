#pragma once

#include "export/ExportRequest.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

// A contact sheet: one image of a grid of thumbnails spread evenly over a range, each with its
// time code in a dark band under it, headed by the disc's label, the title and its length.
namespace ContactSheet {

// Layouts from the settings file or the user are brought into these bounds.
inline constexpr int kMaxColumns = 20;
inline constexpr int kMaxRows = 30;
inline constexpr int kMinWidth = 320;
inline constexpr int kMaxWidth = 7680;
// A sheet that would be taller, or hold more pixels (about 130 MB), gets smaller thumbnails and
// becomes narrower instead.
inline constexpr int kMaxHeight = 16384;
inline constexpr qint64 kMaxPixels = qint64(7680) * 4320;

SheetLayout clamped(const SheetLayout& layout);

// The times (ms from the range's start) of count thumbnails spread evenly over a range of
// lengthMs: the middle of each of count equal slices, so neither the often black first picture
// nor the very end. None when count or lengthMs is not positive; count is at most
// kMaxColumns x kMaxRows.
std::vector<qint64> times(int count, qint64 lengthMs);

// "h:mm:ss", whatever the length ("0:02:03", "1:02:03", "12:00:00"): one format, so that a
// sheet's time codes line up. Seconds are cut, not rounded, as a player's clock shows them;
// negative times show as 0:00:00.
QString timeCode(qint64 ms);

struct Geometry {
    QSize size;
    QRect header;
    std::vector<QRect> pictures;  // columns x rows, in reading order
    std::vector<QRect> timeCodes; // the band under each picture, as wide as it
    int headerPixels = 0;         // the heading's font size
    int timeCodePixels = 0;       // the time codes' font size
};

// Where everything goes for a layout (clamped) and thumbnails of the given display size (e.g.
// 768x576; its aspect is what counts, kept between 1:4 and 4:1; 4:3 when empty).
Geometry geometry(const SheetLayout& layout, QSize pictureSize);

// The heading as it fits width pixels in font: "LABEL — Title 2 — 0:44:12". titleName is the
// title as the user's language names it (empty: "Title <title>"). The label may hold anything a
// disc carries: control and format characters (line breaks, direction overrides) go, blanks are
// collapsed, and it is elided so that the title and length always show; without a label the
// heading starts with the title.
QString heading(const QFont& font, int width, const QString& label, int title, qint64 lengthMs,
                const QString& titleName = {});

// The font of the heading and the time codes at a size in pixels.
QFont font(int pixels, bool bold = false);

// Draws the sheet: thumbnails[i] scaled smoothly into pictures[i] keeping its aspect (centred
// on black), a dark placeholder where it is missing or null, timeCode(timesMs[i]) in the band
// under it where a time is given, and the heading. A null image when the sheet cannot be
// allocated.
QImage compose(const SheetLayout& layout, QSize pictureSize, const QString& label, int title,
               qint64 lengthMs, const std::vector<QImage>& thumbnails,
               const std::vector<qint64>& timesMs, const QString& titleName = {});

} // namespace ContactSheet
