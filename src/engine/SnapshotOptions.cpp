#include "engine/SnapshotSink.h"

namespace {

QString optionValue(const QString& option, const QString& name) {
    return option.mid(name.size() + 1);
}

} // namespace

SnapshotOptions SnapshotOptions::fromItemOptions(const QStringList& options) {
    SnapshotOptions result;
    for (QString option : options) {
        if (option.startsWith(QLatin1Char(':')))
            option.remove(0, 1);
        const QString name = option.section(QLatin1Char('='), 0, 0).trimmed().toLower();
        const bool hasValue = option.contains(QLatin1Char('='));
        if (name == QLatin1String("snapshot-path") && hasValue)
            result.folder = optionValue(option, name);
        else if (name == QLatin1String("snapshot-prefix") && hasValue)
            result.prefix = optionValue(option, name);
        else if (name == QLatin1String("snapshot-format") && hasValue) {
            const QString format = optionValue(option, name).trimmed().toLower();
            result.format = (format == QLatin1String("jpg") || format == QLatin1String("jpeg"))
                                ? SnapshotFormat::Jpg
                                : SnapshotFormat::Png;
        } else if (name == QLatin1String("snapshot-sequential"))
            result.sequential = true;
        else if (name == QLatin1String("no-snapshot-preview"))
            result.preview = false;
        else if (name == QLatin1String("snapshot-preview"))
            result.preview = true;
    }
    return result;
}
