#include "app/SkinEngine.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray validSkin = "/* calm */\nQWidget { background: #303030; color: #e0e0e0; }\n"
                             "QPushButton:hover { background: \"#404040\"; }\n";

QStringList warnings;
void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg || type == QtCriticalMsg)
        warnings.append(message);
}

} // namespace

class TestSkinEngine : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString write(const QString& name, const QByteArray& content) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(content) != content.size())
            return {};
        return path;
    }

private slots:
    void init() { qApp->setStyleSheet(QString()); }

    void missingSkinStartsUnskinned() {
        SkinEngine engine;
        engine.setTarget(2);
        engine.setEnabled(1);
        QVERIFY(!engine.loadSkin(dir_.path())); // a folder is no skin either
        QVERIFY(!engine.loadSkin(dir_.filePath("Skin.skf")));
        engine.applySkin();
        QVERIFY(qApp->styleSheet().isEmpty());
        QVERIFY(!engine.hasSkin());
    }

    void appliedOnlyWhenEnabledForAllWindows_data() {
        QTest::addColumn<bool>("configureTarget");
        QTest::addColumn<int>("target");
        QTest::addColumn<bool>("configureEnabled");
        QTest::addColumn<int>("enabled");
        QTest::addColumn<bool>("applied");
        QTest::newRow("2 then 1") << true << 2 << true << 1 << true;
        QTest::newRow("not configured") << false << 0 << false << 0 << false;
        QTest::newRow("target only") << true << 2 << false << 0 << false;
        QTest::newRow("other target") << true << 1 << true << 1 << false;
    }

    void appliedOnlyWhenEnabledForAllWindows() {
        QFETCH(bool, configureTarget);
        QFETCH(int, target);
        QFETCH(bool, configureEnabled);
        QFETCH(int, enabled);
        QFETCH(bool, applied);
        SkinEngine engine;
        if (configureTarget)
            engine.setTarget(target);
        if (configureEnabled)
            engine.setEnabled(enabled);
        QVERIFY(engine.loadSkin(write("valid.skf", validSkin)));
        engine.applySkin();
        QCOMPARE(qApp->styleSheet(), applied ? QString::fromUtf8(validSkin) : QString());
    }

    void switchingOffRemovesTheSkin() {
        SkinEngine engine;
        engine.setTarget(2);
        engine.setEnabled(1);
        QVERIFY(engine.loadSkin(write("valid.skf", validSkin)));
        engine.applySkin();
        QVERIFY(!qApp->styleSheet().isEmpty());
        engine.setEnabled(0); // switched off later: the skin goes
        engine.applySkin();
        QVERIFY(qApp->styleSheet().isEmpty());
    }

    void aStyleSheetOfSomeoneElseIsLeftAlone() {
        qApp->setStyleSheet("QLabel { color: red; }");
        SkinEngine engine;
        engine.setTarget(2);
        engine.setEnabled(1);
        QVERIFY(!engine.loadSkin(dir_.filePath("absent.skf")));
        engine.applySkin();
        QCOMPARE(qApp->styleSheet(), QString("QLabel { color: red; }"));
    }

    void brokenSkinIsTreatedAsMissing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("blank") << QByteArray(" \r\n\t\n");
        QTest::newRow("comment only") << QByteArray("/* QWidget { color: red; } */");
        QTest::newRow("no rule") << QByteArray("color: red;");
        QTest::newRow("unclosed rule") << QByteArray("QWidget { color: red;\nQLabel { }");
        QTest::newRow("closing before opening") << QByteArray("} QWidget {");
        QTest::newRow("unterminated comment") << QByteArray("QWidget { color: red; } /* ");
        QTest::newRow("unterminated string") << QByteArray("QWidget { font-family: \"Arial; }");
        QTest::newRow("brace hidden in a string") << QByteArray("QWidget { font-family: \"{\"; ");
        QTest::newRow("binary") << QByteArray("QWidget { color: red; }\0\x01\x02", 26);
        QTest::newRow("not UTF-8") << QByteArray("QWidget { font-family: \"\xff\xfe\"; }");
        QTest::newRow("too large") << QByteArray("QWidget { }\n").repeated(200000);
    }

    void brokenSkinIsTreatedAsMissing() {
        QFETCH(QByteArray, content);
        SkinEngine engine;
        engine.setTarget(2);
        engine.setEnabled(1);
        // A good skin first, so that a refused one must also drop what was held.
        QVERIFY(engine.loadSkin(write("valid.skf", validSkin)));
        QVERIFY(!engine.loadSkin(write("broken.skf", content)));
        QVERIFY(!engine.hasSkin());
        engine.applySkin();
        QVERIFY(qApp->styleSheet().isEmpty());
    }

    void plausibleStyleSheets_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("braces in a string") << "QWidget { font-family: \"}{\"; }";
        QTest::newRow("braces in a comment") << "/* { */ QLabel { color: red; } /* } } */";
        QTest::newRow("escaped quote") << "QLabel { font-family: 'a\\'}'; }";
        QTest::newRow("empty rule") << "QLabel {}";
    }

    void plausibleStyleSheets() {
        QFETCH(QString, text);
        QVERIFY(SkinEngine::looksLikeStyleSheet(text));
    }

    void shippedSkinParsesWithoutWarnings() {
        const QString path = QFINDTESTDATA("../../data/Skin.skf");
        QVERIFY2(!path.isEmpty(), "data/Skin.skf not found");
        SkinEngine engine;
        engine.setTarget(2);
        engine.setEnabled(1);
        QVERIFY(engine.loadSkin(path));
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
        engine.applySkin();
        QPushButton button("x");
        button.ensurePolished();
        button.show();
        QCoreApplication::processEvents();
        qInstallMessageHandler(previous);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
        QVERIFY(!qApp->styleSheet().isEmpty());
    }
};

QTEST_MAIN(TestSkinEngine)
#include "tst_skinengine.moc"
