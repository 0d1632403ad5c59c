#pragma once

#include <QDir>
#include <QImage>
#include <QSet>
#include <QString>
#include <QStringList>

// A file of the authored test discs, in the folder ctest names (tests/fixtures/make_dvd.sh).
inline QString fixture(const QString& name) {
    return QDir(qEnvironmentVariable("STILLBECK_FIXTURE_DIR")).filePath(name);
}

// libVLC's arguments in tests: no sound device, no chatter.
inline QStringList testVlcArguments() {
    return {QStringLiteral("--aout=adummy"), QStringLiteral("--quiet")};
}

// Distinct grey levels in a sample of the picture: a blank picture has one or two.
inline int distinctLevels(const QImage& image) {
    QSet<int> levels;
    for (int y = 0; y < image.height(); y += 16)
        for (int x = 0; x < image.width(); x += 16)
            levels.insert(qGray(image.pixel(x, y)) / 8);
    return levels.size();
}

// Distinct colours on a coarse grid: a decoded test picture has many, a blank one one or two.
inline int distinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 8; y < image.height(); y += 24)
        for (int x = 8; x < image.width(); x += 24)
            colours.insert(image.pixel(x, y) & 0xffffff);
    return int(colours.size());
}
