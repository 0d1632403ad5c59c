// The walk of a DVD-Video's tables on arbitrary bytes: the input is a disc's manager table and a
// title set's table, written as a VIDEO_TS folder; every title's plan is asked for, chapter by
// chapter, and its first sectors read. Nothing may read out of bounds or crash; a plan found must
// be one the export can follow.
#include "export/DiscReader.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

const QString& folder() {
    static const QString path = [] {
        const QString made =
            QDir::tempPath() + QStringLiteral("/fuzz_disc_tables_%1/VIDEO_TS").arg(getpid());
        QDir().mkpath(made);
        QFile vob(made + QStringLiteral("/VTS_01_1.VOB"));
        if (vob.open(QIODevice::WriteOnly | QIODevice::Truncate))
            vob.write(QByteArray(64 * 2048, '\0'));
        return made;
    }();
    return path;
}

void checkPlan(const TitlePlan& plan) {
    if (plan.cells.empty() || plan.frames <= 0 || plan.frameTicks <= 0)
        std::abort();
    int64_t frames = 0;
    for (const TitlePlan::Cell& cell : plan.cells) {
        if (cell.lastSector < cell.firstSector || cell.groups.empty() ||
            cell.groups.front() != cell.firstSector || cell.groups.back() > cell.lastSector)
            std::abort();
        if (!cell.leadIn)
            frames += cell.frames;
    }
    if (frames != plan.frames)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Two bytes give the manager table's length; the title set's table is the rest.
    if (size < 2)
        return 0;
    const size_t managerSize = std::min<size_t>(size - 2, size_t(data[0]) << 8 | data[1]);
    const QByteArray manager(reinterpret_cast<const char*>(data) + 2, qsizetype(managerSize));
    const QByteArray titleSet(reinterpret_cast<const char*>(data) + 2 + managerSize,
                              qsizetype(size - 2 - managerSize));
    if (!writeFile(folder() + QStringLiteral("/VIDEO_TS.IFO"), manager) ||
        !writeFile(folder() + QStringLiteral("/VTS_01_0.IFO"), titleSet))
        return 0;

    QString detail;
    auto reader = DiscReader::open(QFileInfo(folder()).path(), &detail);
    if (!reader)
        return 0;
    const TitleList list = reader->titles();
    for (const TitleSummary& title : list.titles) {
        if (title.chapterStarts.empty() || title.lengthMs < 0)
            std::abort();
        for (int chapter = 1; chapter <= int(title.chapterStarts.size()) + 1; ++chapter) {
            if (const auto plan = reader->plan(title.number, chapter, chapter, &detail)) {
                checkPlan(*plan);
                reader->encrypted(*plan);
                reader->groupStartPts(plan->titleSet, plan->cells.back().groups.back());
            }
        }
    }
    return 0;
}
