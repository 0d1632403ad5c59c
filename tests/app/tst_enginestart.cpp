// A start without libVLC's plugins: a message and a clean exit status instead of an abort, also
// when libVLC was started ahead on its thread, as main() does.
#include "app/EngineAssembly.h"
#include "engine/VlcEngine.h"
#include "engine/VlcStart.h"
#include "support/ScriptedMessageBoxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <dlfcn.h>
#include <vlc/vlc.h>

namespace {
const char* const kChildVariable = "STILLBECK_TEST_START_ENGINE";

// Started as a child: what main() does with the engine, reporting the message it showed.
int startLikeMain() {
    ScriptedMessageBoxes boxes;
    VlcStart ahead;
    const auto engine = qgetenv(kChildVariable) == "ahead" ? startEngine(nullptr, boxes, ahead)
                                                           : startEngine(nullptr, boxes);
    if (engine)
        return 0;
    for (const auto& box : boxes.shown)
        std::printf("box: %s | %s\n", qPrintable(box.title), qPrintable(box.text));
    return kEngineStartFailedExit;
}
} // namespace

class TestEngineStart : public QObject {
    Q_OBJECT
private slots:
    void missingPluginsGiveAMessageAndExitStatus_data();
    void missingPluginsGiveAMessageAndExitStatus();
};

void TestEngineStart::missingPluginsGiveAMessageAndExitStatus_data() {
    QTest::addColumn<QString>("start");
    QTest::newRow("started here") << "here";
    QTest::newRow("started ahead") << "ahead";
}

void TestEngineStart::missingPluginsGiveAMessageAndExitStatus() {
    QFETCH(QString, start);
    // libVLC looks for its plugins beside its own library: copies of the two libraries in an
    // empty folder have none.
    Dl_info info{};
    QVERIFY(dladdr(reinterpret_cast<void*>(&libvlc_new), &info) != 0 && info.dli_fname);
    const QFileInfo libvlc(QString::fromLocal8Bit(info.dli_fname));
    QTemporaryDir bare;
    const QStringList libraries =
        QDir(libvlc.absolutePath()).entryList({"libvlc.so.*", "libvlccore.so.*"}, QDir::Files);
    QVERIFY(libraries.size() >= 2);
    for (const QString& name : libraries)
        QVERIFY(QFile::copy(libvlc.absoluteDir().filePath(name), bare.filePath(name)));

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVariable), start);
    env.insert("LD_LIBRARY_PATH", bare.path());
    env.insert("VLC_PLUGIN_PATH", bare.path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(120000));

    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(child.readAllStandardError());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit); // no abort in std::terminate
    QCOMPARE(child.exitCode(), kEngineStartFailedExit);
    QVERIFY2(out.startsWith("box: Error | Stillbeck cannot start because its media engine, "
                            "libVLC, could not be initialised"),
             qPrintable(out));
    QVERIFY2(err.contains("could not be initialised"), qPrintable(err));
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildVariable))
        return startLikeMain();
    TestEngineStart test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_enginestart.moc"
