// The file dialog of the File menu's image/folder entry, run for real.
#include "support/ModalRun.h"
#include "support/TestFiles.h"
#include "ui/DiscChooser.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

class TestDiscChooser : public QObject {
    Q_OBJECT
private slots:
    // An image file and a folder are both taken as they are picked, and each showing opens
    // where the previous pick was made.
    void takesAnImageOrAFolderAndReopensThere() {
        QTemporaryDir root;
        const QString image = root.filePath(QStringLiteral("images/movie.iso"));
        const QString folder = root.filePath(QStringLiteral("rips/My Film/VIDEO_TS"));
        QVERIFY(writeFile(image, "image"));
        QVERIFY(QDir().mkpath(folder));

        QString openedIn;
        const auto pick = [&](const QString& path) {
            QString result = QStringLiteral("<not shown>");
            const ModalRun run = runModal(
                [&] { result = chooseDiscImageOrFolder(nullptr, QStringLiteral("Pick")); },
                [&](QWidget& modal) {
                    auto* dialog = qobject_cast<QFileDialog*>(&modal);
                    if (!dialog)
                        return;
                    openedIn = dialog->directory().absolutePath();
                    // As typed into the file name field.
                    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                    if (!name)
                        return;
                    name->setText(path);
                    static_cast<QDialog*>(dialog)->accept(); // QFileDialog keeps it protected
                });
            return run.forcedClosed ? QStringLiteral("<left open>") : result;
        };

        QCOMPARE(pick(image), image);
        QCOMPARE(pick(folder), folder);
        QCOMPARE(openedIn, QFileInfo(image).absolutePath());
        QCOMPARE(pick(image), image);
        QCOMPARE(openedIn, QFileInfo(folder).absolutePath());
    }
};

QTEST_MAIN(TestDiscChooser)
#include "tst_discchooser.moc"
