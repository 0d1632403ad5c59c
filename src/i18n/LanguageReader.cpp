#include "i18n/LanguageReader.h"

#include "i18n/ProfileReader.h"
#include "platform/ErrorLog.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"

#include <QDir>

#include <optional>

namespace {
constexpr int bufferSize = 500;

// Each pack the thread's open pass has read, by path (normally only one).
using HeldPacks = QList<std::pair<QString, TextFiles::ReadResult>>;
thread_local std::optional<HeldPacks> held;

const TextFiles::ReadResult& packFile(const QString& path, TextFiles::ReadResult& unheld) {
    if (!held) {
        unheld = TextFiles::readRegularFile(path, ProfileReader::kMaxPackBytes);
        return unheld;
    }
    for (const auto& [heldPath, file] : *held)
        if (heldPath == path)
            return file;
    held->append({path, TextFiles::readRegularFile(path, ProfileReader::kMaxPackBytes)});
    return held->constLast().second;
}
} // namespace

CaptionPass::CaptionPass() {
    if (held)
        return;
    held.emplace();
    outermost_ = true;
}

CaptionPass::~CaptionPass() {
    if (outermost_)
        held.reset();
}

QString SetCaptionfromINI(const QString& id, const QString& defaultText) {
    const QString pack = platform::programFolder() + QDir::separator() + QStringLiteral("Lang") +
                         QDir::separator() + Settings::current().languageFile;
    TextFiles::ReadResult unheld;
    const ProfileReader::Result found =
        ProfileReader::stringIn(packFile(pack, unheld), QStringLiteral("Stillbeck Language Pack"),
                                id, defaultText, bufferSize);
    // A pack that cannot be read gives the default texts like a missing one. Its failure is
    // logged once, not on each of the sixty lookups of every caption pass.
    static QString loggedFailure;
    if (found.failed) {
        const QString failure = pack + QChar(0) + found.errorDescription;
        if (failure != loggedFailure) {
            loggedFailure = failure;
            WriteErrorLog(QStringLiteral("Error Description: ") + found.errorDescription +
                          QStringLiteral(", Error Number: ") + QString::number(found.errorNumber) +
                          QStringLiteral(", Method: SetCaptionfromINI"));
        }
    } else {
        loggedFailure.clear();
    }
    // The text passes through a blank-filled buffer that is trimmed on both sides; its own
    // trailing blanks are shielded by the terminator, its leading blanks are not.
    qsizetype start = 0;
    while (start < found.text.size() && found.text[start] == u' ')
        ++start;
    return found.text.mid(start);
}

QString caption(const CaptionText& text) {
    return SetCaptionfromINI(QString::fromUtf8(text.id), QString::fromUtf8(text.defaultText));
}
