// The contact sheet: where its parts go for any layout, that each thumbnail and time code lands
// in its place, the heading of a hostile label, and the times and time codes themselves.
#include "export/ContactSheet.h"

#include <QFontMetrics>
#include <QtTest>

namespace {

// Pixels of text colour (near white) in a rectangle of the sheet.
int brightPixels(const QImage& sheet, const QRect& rect) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += qGray(sheet.pixel(x, y)) > 200;
    return count;
}

int pixelsOf(const QImage& sheet, const QRect& rect, QRgb colour) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += (sheet.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
    return count;
}

QRgb colour(int i) {
    return QColor::fromHsv((i * 47) % 360, 255, 128 + (i % 4) * 40).rgb();
}

} // namespace

Q_DECLARE_METATYPE(SheetLayout)

class TestContactSheet : public QObject {
    Q_OBJECT
private slots:
    void geometry_data() {
        QTest::addColumn<SheetLayout>("layout");
        QTest::addColumn<QSize>("pictureSize");
        QTest::addColumn<QSize>("grid");     // as clamped
        QTest::addColumn<int>("sheetWidth"); // 0: narrower than asked, the thumbnails shrunk
        QTest::newRow("default, 4:3")
            << SheetLayout{6, 8, 1920} << QSize(768, 576) << QSize(6, 8) << 1920;
        QTest::newRow("16:9") << SheetLayout{4, 3, 1280} << QSize(1024, 576) << QSize(4, 3) << 1280;
        QTest::newRow("tiny cells")
            << SheetLayout{20, 2, 320} << QSize(768, 576) << QSize(20, 2) << 320;
        QTest::newRow("one column, too tall")
            << SheetLayout{1, 30, 1920} << QSize(768, 576) << QSize(1, 30) << 0;
        QTest::newRow("negative and zero")
            << SheetLayout{-5, 0, -1} << QSize(768, 576) << QSize(1, 1) << 320;
        QTest::newRow("huge") << SheetLayout{1000, 1000000, 1000000} << QSize(768, 576)
                              << QSize(20, 30) << 0;
        QTest::newRow("no picture size") << SheetLayout{3, 2, 800} << QSize() << QSize(3, 2) << 800;
        QTest::newRow("absurd aspect")
            << SheetLayout{5, 5, 1920} << QSize(1, 100000) << QSize(5, 5) << 1920;
    }

    void geometry() {
        QFETCH(SheetLayout, layout);
        QFETCH(QSize, pictureSize);
        QFETCH(QSize, grid);
        QFETCH(int, sheetWidth);
        const ContactSheet::Geometry g = ContactSheet::geometry(layout, pictureSize);
        const QRect image(QPoint(0, 0), g.size);
        QVERIFY(g.size.height() <= ContactSheet::kMaxHeight);
        QVERIFY(qint64(g.size.width()) * g.size.height() <= ContactSheet::kMaxPixels);
        QVERIFY(g.size.width() >= ContactSheet::kMinWidth);
        QVERIFY(g.size.width() == sheetWidth || (!sheetWidth && g.size.width() < layout.width));
        const size_t cells = size_t(grid.width()) * grid.height();
        QCOMPARE(g.pictures.size(), cells);
        QCOMPARE(g.timeCodes.size(), cells);
        QVERIFY(image.contains(g.header) && g.header.height() >= g.headerPixels);
        const double aspect =
            pictureSize.isEmpty()
                ? 0.75
                : std::clamp(double(pictureSize.height()) / pictureSize.width(), 0.25, 4.0);
        const int codeWidth = QFontMetrics(ContactSheet::font(g.timeCodePixels))
                                  .horizontalAdvance(QStringLiteral("10:00:00"));
        for (size_t i = 0; i < cells; ++i) {
            const QRect &picture = g.pictures[i], &code = g.timeCodes[i];
            QVERIFY(image.contains(picture) && image.contains(code) &&
                    picture.top() > g.header.bottom());
            QVERIFY(std::abs(picture.height() - picture.width() * aspect) <= 1);
            // Its band directly under it, as wide, high and wide enough for the time code.
            QCOMPARE(code,
                     QRect(picture.left(), picture.bottom() + 1, picture.width(), code.height()));
            QVERIFY(code.height() > g.timeCodePixels && codeWidth <= code.width());
            // Reading order: on along the row, then below the row before.
            if (i % grid.width())
                QVERIFY(picture.top() == g.pictures[i - 1].top() &&
                        picture.left() > g.pictures[i - 1].right());
            else if (i)
                QVERIFY(picture.top() > g.timeCodes[i - 1].bottom());
        }
    }

    // Each thumbnail fills its rectangle as far as its aspect allows, centred; a missing or null
    // one leaves a dark placeholder; each time given is drawn in its band, and no text elsewhere.
    void compose_data() {
        QTest::addColumn<SheetLayout>("layout");
        QTest::addColumn<QSize>("thumbnailSize");
        QTest::newRow("thumbnails larger") << SheetLayout{6, 4, 1920} << QSize(768, 576);
        QTest::newRow("thumbnails smaller") << SheetLayout{3, 2, 1920} << QSize(160, 120);
        QTest::newRow("other aspect") << SheetLayout{4, 5, 640} << QSize(720, 576);
        QTest::newRow("small cells") << SheetLayout{10, 3, 640} << QSize(768, 576);
    }

    void compose() {
        QFETCH(SheetLayout, layout);
        QFETCH(QSize, thumbnailSize);
        const int cells = layout.columns * layout.rows;
        std::vector<QImage> thumbnails; // the last cell has none, the one before a null one
        for (int i = 0; i < cells - 2; ++i) {
            thumbnails.emplace_back(thumbnailSize, QImage::Format_RGB32);
            thumbnails.back().fill(colour(i));
        }
        thumbnails.emplace_back();
        const QImage sheet =
            ContactSheet::compose(layout, {768, 576}, QStringLiteral("MOVIE"), 2, 3600000,
                                  thumbnails, ContactSheet::times(cells - 2, 3600000));
        const ContactSheet::Geometry g = ContactSheet::geometry(layout, {768, 576});
        QCOMPARE(sheet.size(), g.size);
        int text = brightPixels(sheet, g.header);
        QVERIFY(text > 50);
        for (int i = 0; i < cells; ++i) {
            const QRect& cell = g.pictures[i];
            const int codePixels = brightPixels(sheet, g.timeCodes[i]);
            text += codePixels;
            if (i >= cells - 2) {
                QVERIFY(qGray(sheet.pixel(cell.center())) < 40);
                QCOMPARE(codePixels, 0);
                continue;
            }
            // As large as its aspect allows (give or take the edges' blend), centred: the
            // corners are black unless it fills the cell.
            const QSize fit = thumbnailSize.scaled(cell.size(), Qt::KeepAspectRatio);
            const int covered = pixelsOf(sheet, cell, colour(i));
            QVERIFY2(std::abs(covered - fit.width() * fit.height()) <=
                         2 * (fit.width() + fit.height()),
                     qPrintable(QStringLiteral("cell %1").arg(i)));
            const bool fills = fit == cell.size();
            QCOMPARE(pixelsOf(sheet, QRect(cell.topLeft(), QSize(1, 1)), colour(i)), int(fills));
            QCOMPARE(pixelsOf(sheet, QRect(cell.bottomRight(), QSize(1, 1)), colour(i)),
                     int(fills));
            QVERIFY(codePixels > 10);
        }
        QCOMPARE(brightPixels(sheet, sheet.rect()), text);
    }

    void heading_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected"); // empty: elided, ending in the title and length
        const QString rest = QStringLiteral("Title 2 \u2014 0:44:12");
        QTest::newRow("plain") << QStringLiteral("MOVIE") << 1000 << "MOVIE \u2014 " + rest;
        QTest::newRow("blank") << QStringLiteral(" \t\n ") << 1000 << rest;
        QTest::newRow("control and format characters")
            << QStringLiteral("A\nB\tC\u202E\u200BD\u0007\u2028E") << 1000
            << "A B CD E \u2014 " + rest;
        QTest::newRow("very long") << QString(100000, QLatin1Char('W')) << 1000 << QString();
        QTest::newRow("long, fits the sheet")
            << QString(300, QLatin1Char('i')) << 7000 << QString();
        QTest::newRow("long, hostile characters")
            << QString(5000, QChar(0x202E)) + QString(5000, QChar(0x5D0)) +
                   QString(3, QChar(0xD800))
            << 600 << QString();
    }

    void heading() {
        QFETCH(QString, label);
        QFETCH(int, width);
        QFETCH(QString, expected);
        const QFont font = ContactSheet::font(24, true);
        const QString text = ContactSheet::heading(font, width, label, 2, 2652000);
        QVERIFY(QFontMetrics(font).horizontalAdvance(text) <= width);
        if (!expected.isEmpty()) {
            QCOMPARE(text, expected);
            return;
        }
        QVERIFY2(text.endsWith(QStringLiteral("\u2026 \u2014 Title 2 \u2014 0:44:12")),
                 qPrintable(text));
        for (QChar c : text)
            QVERIFY(c.category() != QChar::Other_Format && c.category() != QChar::Other_Surrogate);
    }

    void timeCodes() {
        const std::pair<qint64, const char*> cases[] = {{999, "0:00:00"},
                                                        {123000, "0:02:03"},
                                                        {3723999, "1:02:03"},
                                                        {36000000, "10:00:00"},
                                                        {-5000, "0:00:00"}};
        for (const auto& [ms, expected] : cases)
            QCOMPARE(ContactSheet::timeCode(ms), QString::fromLatin1(expected));
    }

    void times_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<std::vector<qint64>>("expected"); // empty: checked to be slice middles
        QTest::newRow("4 over 16 s")
            << 4 << qint64(16000) << std::vector<qint64>{2000, 6000, 10000, 14000};
        QTest::newRow("3 over 10 ms") << 3 << qint64(10) << std::vector<qint64>{1, 5, 8};
        QTest::newRow("more than milliseconds")
            << 4 << qint64(2) << std::vector<qint64>{0, 0, 1, 1};
        QTest::newRow("600 over the longest")
            << 600 << std::numeric_limits<qint64>::max() << std::vector<qint64>{};
        QTest::newRow("none") << 0 << qint64(1000) << std::vector<qint64>{};
        QTest::newRow("no length") << 5 << qint64(-1) << std::vector<qint64>{};
    }

    void times() {
        QFETCH(int, count);
        QFETCH(qint64, length);
        QFETCH(std::vector<qint64>, expected);
        const std::vector<qint64> times = ContactSheet::times(count, length);
        if (!expected.empty())
            QCOMPARE(times, expected);
        QCOMPARE(times.size(), size_t(length > 0 ? count : 0));
        for (int i = 0; i < int(times.size()); ++i) {
            const long double middle = (2.0L * i + 1) * length / (2.0L * count);
            QVERIFY(std::abs(times[i] - middle) <= 1 + middle * 1e-15L);
        }
        QCOMPARE(ContactSheet::times(100000, 1000).size(), size_t(20 * 30));
    }
};

QTEST_MAIN(TestContactSheet)
#include "tst_contactsheet.moc"
