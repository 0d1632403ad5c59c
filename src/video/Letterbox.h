#pragma once

#include <QRect>
#include <QSize>

// Where a picture of this display size is shown in an area: as large as fits at its aspect
// ratio, centred; the rest of the area is black.
inline QRect letterboxRect(QSize displaySize, QSize area) {
    const QSize shown = displaySize.scaled(area, Qt::KeepAspectRatio);
    return {QPoint((area.width() - shown.width()) / 2, (area.height() - shown.height()) / 2),
            shown};
}
