#include "ReferenceDecode.h"

#include <QProcess>
#include <QStringList>
#include <QtDebug>

#include <cstdlib>

QImage referenceFrame(const QString& vobFile, int frameIndex, QSize size) {
    // The comma inside eq() is escaped, else ffmpeg takes it for the end of the filter.
    const QString filter = QStringLiteral("select=eq(n\\,%1),scale=%2:%3:flags=bicubic")
                               .arg(frameIndex)
                               .arg(size.width())
                               .arg(size.height());
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                  QStringLiteral("-i"), vobFile, QStringLiteral("-map"), QStringLiteral("0:v:0"),
                  QStringLiteral("-vf"), filter, QStringLiteral("-frames:v"), QStringLiteral("1"),
                  QStringLiteral("-f"), QStringLiteral("image2pipe"), QStringLiteral("-vcodec"),
                  QStringLiteral("png"), QStringLiteral("-")});
    // Reaching a late frame means decoding every one before it.
    if (!ffmpeg.waitForFinished(120000)) {
        qWarning() << "ffmpeg did not finish:" << ffmpeg.errorString();
        ffmpeg.kill();
        ffmpeg.waitForFinished();
        return {};
    }
    const QByteArray png = ffmpeg.readAllStandardOutput();
    const QImage image = QImage::fromData(png, "PNG");
    if (ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0 || image.isNull()) {
        // No output and no error: the file has fewer frames than that.
        qWarning() << "ffmpeg gave no frame" << frameIndex << "of" << vobFile << "exit code"
                   << ffmpeg.exitCode() << ffmpeg.readAllStandardError();
        return {};
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

double meanAbsDifference(const QImage& a, const QImage& b) {
    if (a.isNull() || b.isNull() || a.size() != b.size())
        return 255.0;
    const QImage first = a.convertToFormat(QImage::Format_RGB32);
    const QImage second = b.convertToFormat(QImage::Format_RGB32);
    quint64 total = 0;
    for (int y = 0; y < first.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(first.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(second.constScanLine(y));
        for (int x = 0; x < first.width(); ++x)
            total += std::abs(qRed(p[x]) - qRed(q[x])) + std::abs(qGreen(p[x]) - qGreen(q[x])) +
                     std::abs(qBlue(p[x]) - qBlue(q[x]));
    }
    return double(total) / (double(first.width()) * first.height() * 3);
}
