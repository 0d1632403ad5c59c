#include "app/SkinEngine.h"

#include <QApplication>
#include <QFile>
#include <QStringDecoder>
#include <QWidget>

namespace {
// A style sheet for a few windows is a few kilobytes; refuse files that cannot be one.
constexpr qint64 maxSkinSize = 1024 * 1024;

// Qt has no public parser check: it reports a style sheet it cannot parse as a warning when a
// widget is polished with it. A throw-away widget is polished with the sheet while warnings are
// watched.
QtMessageHandler previousHandler = nullptr;
bool parseRejected = false;

void watchParseWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("Could not parse")) && text.contains(u"stylesheet"))
        parseRejected = true;
    else if (previousHandler)
        previousHandler(type, context, text);
}

bool qtAcceptsStyleSheet(const QString& text) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true; // without widgets there is nothing to ask, and nothing to skin either
    parseRejected = false;
    previousHandler = qInstallMessageHandler(watchParseWarnings);
    {
        QWidget probe;
        probe.setStyleSheet(text);
        probe.ensurePolished();
    }
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
    return !parseRejected;
}
} // namespace

void SkinEngine::setTarget(int target) {
    target_ = target;
}

void SkinEngine::setEnabled(int enabled) {
    enabled_ = enabled != 0;
}

bool SkinEngine::loadSkin(const QString& path) {
    styleSheet_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(maxSkinSize + 1);
    if (bytes.size() > maxSkinSize)
        return false;
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(bytes);
    if (decode.hasError() || !looksLikeStyleSheet(text) || !qtAcceptsStyleSheet(text))
        return false;
    styleSheet_ = text;
    return true;
}

void SkinEngine::applySkin() {
    if (!qApp)
        return;
    if (enabled_ && target_ == AllTopLevelWindows && hasSkin()) {
        qApp->setStyleSheet(styleSheet_);
        applied_ = true;
    } else if (applied_) {
        qApp->setStyleSheet(QString());
        applied_ = false;
    }
}

bool SkinEngine::looksLikeStyleSheet(const QString& text) {
    // Anywhere, also inside comments and after a backslash.
    if (text.contains(QChar(0)))
        return false;
    int depth = 0;
    bool sawRule = false;
    bool sawContent = false;
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == u'\\')
                ++i;
            else if (c == quote)
                quote = QChar();
            else if (c == u'\n')
                return false; // strings do not span lines
            continue;
        }
        if (c == u'/' && i + 1 < text.size() && text[i + 1] == u'*') {
            const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                return false;
            i = end + 1;
            continue;
        }
        if (c.isSpace())
            continue;
        sawContent = true;
        if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'{') {
            ++depth;
            sawRule = true;
        } else if (c == u'}') {
            if (--depth < 0)
                return false;
        }
    }
    return sawContent && sawRule && depth == 0 && quote.isNull();
}
