#pragma once

// What the benchmarks that start the program as a separate process share: its program folder,
// the clock they time it by and the CPU it uses, read from outside.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <ctime>
#include <unistd.h>
#include <vector>

inline qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The middle value, or -1 for none.
inline double median(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// utime + stime of a process, in seconds, from outside; -1 once it is gone.
inline double processCpuSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return double(fields[11].toLongLong() + fields[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

// A program folder as the program finds it beside itself: packs, skin and default settings.
// The benchmarks sit in the build folder's bench/, the program and its packs one up.
inline bool prepareProgramFolder(const QString& folder) {
    const QDir build(QDir(QCoreApplication::applicationDirPath()).filePath(".."));
    QDir(folder).mkpath("Lang");
    for (const QString& pack : QDir(build.filePath("Lang")).entryList({"*.ini"}, QDir::Files))
        QFile::copy(build.filePath("Lang/" + pack), QDir(folder).filePath("Lang/" + pack));
    QFile::copy(build.filePath("Skin.skf"), QDir(folder).filePath("Skin.skf"));
    QFile config(QDir(folder).filePath("Config.cfg"));
    if (!config.open(QIODevice::WriteOnly))
        return false;
    config.write("0\r\n" + QFile::encodeName(folder) + "/\r\nIMG_\r\n0\r\n5000\r\nEnglish.ini\r\n");
    return true;
}

// The program itself in a program folder of its own; its path, or empty.
inline QString installProgram(const QString& folder) {
    if (!prepareProgramFolder(folder))
        return {};
    const QString program = QDir(folder).filePath("stillbeck");
    const QString built = QDir(QCoreApplication::applicationDirPath()).filePath("../stillbeck");
    return QFile::copy(built, program) ? program : QString();
}
