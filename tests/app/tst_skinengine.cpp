#include "app/SkinEngine.h"
#include "support/TestFiles.h"

#include <QApplication>
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
        return writeFile(path, content) ? path : QString();
    }

    // A skin engine set to skin every window.
    static void skinAll(SkinEngine& engine) {
        engine.setTarget(2);
        engine.setEnabled(1);
    }

private slots:
    void init() { qApp->setStyleSheet(QString()); }

    void missingSkinStartsUnskinned() {
        SkinEngine engine;
        skinAll(engine);
        QVERIFY(!engine.loadSkin(dir_.path())); // a folder is no skin either
        QVERIFY(!engine.loadSkin(dir_.filePath("Skin.skf")));
        engine.applySkin();
        QVERIFY(qApp->styleSheet().isEmpty());
        QVERIFY(!engine.hasSkin());
    }

    void appliedOnlyWhenEnabledForAllWindows_data() {
        QTest::addColumn<int>("target"); // negative: never set
        QTest::addColumn<int>("enabled");
        QTest::addColumn<bool>("applied");
        QTest::newRow("2 then 1") << 2 << 1 << true;
        QTest::newRow("not configured") << -1 << -1 << false;
        QTest::newRow("target only") << 2 << -1 << false;
        QTest::newRow("other target") << 1 << 1 << false;
    }
    void appliedOnlyWhenEnabledForAllWindows() {
        QFETCH(int, target);
        QFETCH(int, enabled);
        QFETCH(bool, applied);
        SkinEngine engine;
        if (target >= 0)
            engine.setTarget(target);
        if (enabled >= 0)
            engine.setEnabled(enabled);
        QVERIFY(engine.loadSkin(write("valid.skf", validSkin)));
        engine.applySkin();
        QCOMPARE(qApp->styleSheet(), applied ? QString::fromUtf8(validSkin) : QString());
        if (!applied)
            return;
        engine.setEnabled(0); // switched off later: the skin goes
        engine.applySkin();
        QVERIFY(qApp->styleSheet().isEmpty());
    }

    void aStyleSheetOfSomeoneElseIsLeftAlone() {
        qApp->setStyleSheet("QLabel { color: red; }");
        SkinEngine engine;
        skinAll(engine);
        QVERIFY(!engine.loadSkin(dir_.filePath("absent.skf")));
        engine.applySkin();
        QCOMPARE(qApp->styleSheet(), QString("QLabel { color: red; }"));
    }

    void skinText_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("accepted");
        const auto row = [](const char* name, const QByteArray& content, bool accepted) {
            QTest::newRow(name) << content << accepted;
        };
        row("braces in a string", "QWidget { font-family: \"}{\"; }", true);
        row("braces in a comment", "/* { */ QLabel { color: red; } /* } } */", true);
        row("escaped quote", "QLabel { font-family: 'a\\'}'; }", true);
        row("empty rule", "QLabel {}", true);
        row("blank", " \r\n\t\n", false);
        row("comment only", "/* QWidget { color: red; } */", false);
        row("no rule", "color: red;", false);
        row("unclosed rule", "QWidget { color: red;\nQLabel { }", false);
        row("closing before opening", "} QWidget {", false);
        row("unterminated comment", "QWidget { color: red; } /* ", false);
        row("unterminated string", "QWidget { font-family: \"Arial; }", false);
        row("brace hidden in a string", "QWidget { font-family: \"{\"; ", false);
        row("binary", QByteArray("QWidget { color: red; }\0\x01\x02", 26), false);
        row("NUL in a comment", QByteArray("QLabel { } /* \0 */", 18), false);
        row("NUL after a backslash", QByteArray("QLabel { font-family: 'a\\\0'; }", 30), false);
        row("rejected by Qt's parser", "QLabel { color: rgb(1, 2; }", false);
        row("not UTF-8", "QWidget { font-family: \"\xff\xfe\"; }", false);
        row("too large", QByteArray("QWidget { }\n").repeated(200000), false);
    }
    void skinText() {
        QFETCH(QByteArray, content);
        QFETCH(bool, accepted);
        SkinEngine engine;
        skinAll(engine);
        // A good skin first, so that a refused one must also drop what was held.
        QVERIFY(engine.loadSkin(write("valid.skf", validSkin)));
        QCOMPARE(engine.loadSkin(write("other.skf", content)), accepted);
        QCOMPARE(engine.hasSkin(), accepted);
        engine.applySkin();
        QCOMPARE(qApp->styleSheet(), accepted ? QString::fromUtf8(content) : QString());
    }

    void shippedSkinParsesWithoutWarnings() {
        const QString path = QFINDTESTDATA("../../data/Skin.skf");
        QVERIFY2(!path.isEmpty(), "data/Skin.skf not found");
        SkinEngine engine;
        skinAll(engine);
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
