#include "ui/SnapshotPrefix.h"

#include "platform/TextFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace SnapshotPrefix {

bool forbiddenCharacter(QChar c) {
    if (c.unicode() < 0x20)
        return true;
    switch (c.unicode()) {
    case u'/':
    case u'\\':
    case u':':
    case u'*':
    case u'?':
    case u'"':
    case u'<':
    case u'>':
    case u'|':
        return true;
    default:
        return false;
    }
}

bool usableAsFileName(const QString& prefix, const QString& folder) {
    if (prefix.isEmpty())
        return false;
    for (QChar c : prefix) {
        if (forbiddenCharacter(c))
            return false;
    }
    const QString path = QDir(folder).filePath(prefix);
    // Exclusive creation: if the name is taken meanwhile, the file is not ours and stays.
    QFile probe(path);
    if (probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        probe.close();
        return probe.remove();
    }
    // Only a regular file is opened: opening a FIFO would wait for a writer, a device could do
    // anything. Something else of that name shows the name itself is a valid one.
    const QFileInfo found(path);
    if (found.exists() && !found.isDir() && !TextFiles::isRegularFile(path))
        return true;
    QFile existing(path);
    if (!existing.open(QIODevice::Append | QIODevice::ExistingOnly))
        return false;
    existing.close();
    return true;
}

QString testFolder() {
    const QString current = QDir::currentPath();
    return QFileInfo(current).isWritable() ? current : QDir::tempPath();
}

} // namespace SnapshotPrefix
