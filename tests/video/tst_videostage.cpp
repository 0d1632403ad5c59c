// The window's video area and the full-screen view share one frame store, which converts the
// pictures to one size: while the view is up the covered window paints nothing and leaves the
// size to it, and once the view closes, however it closes, the window asks for its own again.
#include "engine/FrameStore.h"
#include "support/FakeEngine.h"
#include "video/FullScreenView.h"
#include "video/VideoStage.h"

#include <QApplication>
#include <QTest>

namespace {
class EngineWithFrames : public FakeEngine {
public:
    FrameStore* frameStore() override { return &frames; }
    FrameStore frames;
};

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

void publishPictures(FrameStore& frames, int count) {
    for (int i = 0; i < count; ++i) {
        QImage picture(720, 576, QImage::Format_RGB32);
        picture.fill(qRgb(40 * i, 90, 160));
        frames.publish(std::move(picture), QSize(768, 576));
        QTest::qWait(20);
    }
}
} // namespace

class TestVideoStage : public QObject {
    Q_OBJECT
private slots:
    void theFullScreenViewTakesThePictureSizeWhileItIsUp_data() {
        QTest::addColumn<QString>("leave");
        QTest::newRow("the command again") << "close";
        QTest::newRow("Esc") << "escape";
        QTest::newRow("a double-click") << "double-click";
    }
    void theFullScreenViewTakesThePictureSizeWhileItIsUp() {
        QFETCH(QString, leave);
        EngineWithFrames engine;
        VideoStage window;
        window.resize(434, 326);
        window.setEngine(&engine);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        FullScreenView view(engine);
        view.setWindowStage(&window);
        publishPictures(engine.frames, 2);
        const QSize windowSize = QSize(768, 576).scaled(window.size(), Qt::KeepAspectRatio);
        QTRY_COMPARE(engine.frames.shownSize(), windowSize);

        view.show();
        auto* full = qobject_cast<VideoStage*>(QApplication::activeWindow());
        QTRY_VERIFY((full = qobject_cast<VideoStage*>(QApplication::activeWindow())) &&
                    full->isFullScreen());
        QTest::qWait(100); // the window repaints once as it loses the focus
        PaintCounter counter;
        window.installEventFilter(&counter);
        publishPictures(engine.frames, 5);
        const QSize fullSize = QSize(768, 576).scaled(full->size(), Qt::KeepAspectRatio);
        QTRY_COMPARE(engine.frames.shownSize(), fullSize);
        QCOMPARE(counter.paints, 0);

        if (leave == "close")
            view.close();
        else if (leave == "escape")
            QTest::keyClick(full, Qt::Key_Escape);
        else
            QTest::mouseDClick(full, Qt::LeftButton);
        QTRY_VERIFY(!view.isShown());
        publishPictures(engine.frames, 2);
        QTRY_COMPARE(engine.frames.shownSize(), windowSize);
        QVERIFY(counter.paints > 0);
    }
};

QTEST_MAIN(TestVideoStage)
#include "tst_videostage.moc"
