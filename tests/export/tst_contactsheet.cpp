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

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 &&
           std::abs(qBlue(a) - qBlue(b)) <= 2;
}

// Where a colour covers a cell, from its centre row and column.
QRect colourSpan(const QImage& sheet, const QRect& cell, QRgb colour) {
    int left = cell.right() + 1, right = cell.left() - 1, top = cell.bottom() + 1,
        bottom = cell.top() - 1;
    for (int x = cell.left(); x <= cell.right(); ++x)
        if (near(sheet.pixel(x, cell.center().y()), colour))
            left = std::min(left, x), right = std::max(right, x);
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        if (near(sheet.pixel(cell.center().x(), y), colour))
            top = std::min(top, y), bottom = std::max(bottom, y);
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QRgb distinctColour(int i) {
    return QColor::fromHsv((i * 47) % 360, 255, 128 + (i % 4) * 40).rgb();
}

} // namespace

class TestContactSheet : public QObject {
    Q_OBJECT
private slots:
    void geometry_data() {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("width");
        QTest::addColumn<QSize>("pictureSize");
        QTest::addColumn<QSize>("clampedGrid");
        QTest::addColumn<int>("expectedWidth"); // 0: narrower than asked, the thumbnails shrunk
        QTest::newRow("default 6x8, 4:3")
            << 6 << 8 << 1920 << QSize(768, 576) << QSize(6, 8) << 1920;
        QTest::newRow("16:9") << 4 << 3 << 1280 << QSize(1024, 576) << QSize(4, 3) << 1280;
        QTest::newRow("one thumbnail, narrowest")
            << 1 << 1 << 320 << QSize(768, 576) << QSize(1, 1) << 320;
        QTest::newRow("20 columns at 320, tiny cells")
            << 20 << 2 << 320 << QSize(768, 576) << QSize(20, 2) << 320;
        QTest::newRow("largest, 20x30 at 7680")
            << 20 << 30 << 7680 << QSize(768, 576) << QSize(20, 30) << 0;
        QTest::newRow("one column of 30, too tall")
            << 1 << 30 << 1920 << QSize(768, 576) << QSize(1, 30) << 0;
        QTest::newRow("hostile: negative and zero")
            << -5 << 0 << -1 << QSize(768, 576) << QSize(1, 1) << 320;
        QTest::newRow("hostile: huge")
            << 1000 << 1000000 << 1000000 << QSize(768, 576) << QSize(20, 30) << 0;
        QTest::newRow("no picture size") << 3 << 2 << 800 << QSize() << QSize(3, 2) << 800;
        QTest::newRow("absurd aspect") << 5 << 5 << 1920 << QSize(1, 100000) << QSize(5, 5) << 0;
    }

    void geometry() {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(int, width);
        QFETCH(QSize, pictureSize);
        QFETCH(QSize, clampedGrid);
        QFETCH(int, expectedWidth);
        const ContactSheet::Geometry g =
            ContactSheet::geometry({columns, rows, width}, pictureSize);
        const QRect image(QPoint(0, 0), g.size);

        QVERIFY(g.size.height() <= ContactSheet::kMaxHeight);
        QVERIFY(qint64(g.size.width()) * g.size.height() <= ContactSheet::kMaxPixels);
        QVERIFY(g.size.width() >= ContactSheet::kMinWidth &&
                g.size.width() <= ContactSheet::kMaxWidth);
        if (expectedWidth)
            QCOMPARE(g.size.width(), expectedWidth);
        const size_t cells = size_t(clampedGrid.width()) * clampedGrid.height();
        QCOMPARE(g.pictures.size(), cells);
        QCOMPARE(g.timeCodes.size(), cells);
        QVERIFY(image.contains(g.header));
        QVERIFY(g.header.height() >= g.headerPixels);

        const double aspect =
            pictureSize.isEmpty()
                ? 0.75
                : std::clamp(double(pictureSize.height()) / pictureSize.width(), 0.25, 4.0);
        for (size_t i = 0; i < cells; ++i) {
            const QRect& picture = g.pictures[i];
            const QRect& code = g.timeCodes[i];
            QVERIFY(!picture.isEmpty() && image.contains(picture));
            QVERIFY(image.contains(code));
            QVERIFY(!picture.intersects(g.header) && picture.top() > g.header.bottom());
            QVERIFY2(std::abs(picture.height() - picture.width() * aspect) <= 1,
                     qPrintable(QString::number(i)));
            // The band directly under its picture, as wide, and high enough for its font.
            QCOMPARE(code.top(), picture.bottom() + 1);
            QCOMPARE(code.left(), picture.left());
            QCOMPARE(code.width(), picture.width());
            QVERIFY(code.height() > g.timeCodePixels);
            QVERIFY(QFontMetrics(ContactSheet::font(g.timeCodePixels))
                        .horizontalAdvance(QStringLiteral("10:00:00")) <= code.width());
            if (i > 0) {
                const QRect& before = g.pictures[i - 1];
                const bool sameRow = i % clampedGrid.width() != 0;
                if (sameRow)
                    QVERIFY(picture.top() == before.top() && picture.left() > before.right());
                else
                    QVERIFY(picture.top() > g.timeCodes[i - 1].bottom());
            }
        }
        for (size_t i = 0; i < cells; ++i)
            for (size_t j = i + 1; j < cells; ++j)
                QVERIFY(!g.pictures[i]
                             .united(g.timeCodes[i])
                             .intersects(g.pictures[j].united(g.timeCodes[j])));
    }

    // Each thumbnail's pixels land in its own rectangle, whatever their size; a missing or null
    // one leaves a dark placeholder; each time given is drawn in its band, and only those.
    void composePutsEachThumbnailAndTimeCodeInPlace_data() {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("width");
        QTest::addColumn<QSize>("thumbnailSize");
        QTest::newRow("6x4 at 1920, thumbnails larger") << 6 << 4 << 1920 << QSize(768, 576);
        QTest::newRow("3x2 at 1920, thumbnails smaller") << 3 << 2 << 1920 << QSize(160, 120);
        QTest::newRow("4x5 at 640, other aspect") << 4 << 5 << 640 << QSize(720, 576);
        QTest::newRow("10x3 at 640, small cells") << 10 << 3 << 640 << QSize(768, 576);
    }

    void composePutsEachThumbnailAndTimeCodeInPlace() {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(int, width);
        QFETCH(QSize, thumbnailSize);
        const SheetLayout layout{columns, rows, width};
        const int cells = columns * rows;
        // The last cell has no thumbnail at all, the one before a null one; the last two no time.
        std::vector<QImage> thumbnails;
        for (int i = 0; i < cells - 2; ++i) {
            thumbnails.emplace_back(thumbnailSize, QImage::Format_RGB32);
            thumbnails.back().fill(distinctColour(i));
        }
        thumbnails.emplace_back();
        const std::vector<qint64> times = ContactSheet::times(cells - 2, 3600000);

        const QImage sheet = ContactSheet::compose(layout, {768, 576}, QStringLiteral("MOVIE"), 2,
                                                   3600000, thumbnails, times);
        const ContactSheet::Geometry g = ContactSheet::geometry(layout, {768, 576});
        QCOMPARE(sheet.size(), g.size);
        for (int i = 0; i < cells; ++i) {
            const QRgb centre = sheet.pixel(g.pictures[i].center());
            if (i < cells - 2) {
                // Centred in its cell, as large as fits, its aspect kept.
                const QRect span = colourSpan(sheet, g.pictures[i], distinctColour(i));
                const QSize fit = thumbnailSize.scaled(g.pictures[i].size(), Qt::KeepAspectRatio);
                QVERIFY2(std::abs(span.width() - fit.width()) <= 1 &&
                             std::abs(span.height() - fit.height()) <= 1 &&
                             std::abs(span.center().x() - g.pictures[i].center().x()) <= 1 &&
                             std::abs(span.center().y() - g.pictures[i].center().y()) <= 1,
                         qPrintable(QStringLiteral("cell %1").arg(i)));
                QVERIFY(brightPixels(sheet, g.timeCodes[i]) > 10);
            } else {
                QVERIFY(qRed(centre) < 40 && qGreen(centre) < 40 && qBlue(centre) < 40);
                QCOMPARE(brightPixels(sheet, g.timeCodes[i]), 0);
            }
        }
        // No text strays out of its band or the heading.
        int inPlace = brightPixels(sheet, g.header);
        QVERIFY(inPlace > 50);
        for (const QRect& band : g.timeCodes)
            inPlace += brightPixels(sheet, band);
        QCOMPARE(brightPixels(sheet, sheet.rect()), inPlace);
    }

    void composeClampsAHostileLayout() {
        const SheetLayout hostile{100, 100, 100000};
        const QImage sheet =
            ContactSheet::compose(hostile, {768, 576}, QStringLiteral("X"), 1, 1000, {}, {});
        QVERIFY(!sheet.isNull());
        QCOMPARE(sheet.size(), ContactSheet::geometry(hostile, {768, 576}).size);
        QVERIFY(qint64(sheet.width()) * sheet.height() <= ContactSheet::kMaxPixels);
    }

    void heading_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected"); // empty: elided, ending in the title and length
        const QString dash = QStringLiteral(" \u2014 ");
        QTest::newRow("plain") << QStringLiteral("MOVIE") << 1000
                               << "MOVIE" + dash + "Title 2" + dash + "0:44:12";
        QTest::newRow("no label") << QString() << 1000 << "Title 2" + dash + "0:44:12";
        QTest::newRow("blank label")
            << QStringLiteral(" \t\n ") << 1000 << "Title 2" + dash + "0:44:12";
        QTest::newRow("control and format characters")
            << QStringLiteral("A\nB\tC\u202E\u200BD\u0007\u2028E") << 1000
            << "A B CD E" + dash + "Title 2" + dash + "0:44:12";
        QTest::newRow("very long") << QString(100000, QLatin1Char('W')) << 1000 << QString();
        // Longer than any disc label, yet it would fit: still shown as cut.
        QTest::newRow("long, narrow letters, wide sheet")
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
        QVERIFY2(text.endsWith(QStringLiteral("\u2014 Title 2 \u2014 0:44:12")), qPrintable(text));
        QVERIFY2(text.contains(QChar(0x2026)), qPrintable(text)); // the label's ellipsis
        for (QChar c : text)
            QVERIFY(c.category() != QChar::Other_Format && c.category() != QChar::Other_Control &&
                    c.category() != QChar::Other_Surrogate);
    }

    void timeCode_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << qint64(0) << "0:00:00";
        QTest::newRow("seconds are cut") << qint64(999) << "0:00:00";
        QTest::newRow("one second") << qint64(1000) << "0:00:01";
        QTest::newRow("minutes") << qint64(123000) << "0:02:03";
        QTest::newRow("hours") << qint64(3723999) << "1:02:03";
        QTest::newRow("ten hours") << qint64(36000000) << "10:00:00";
        QTest::newRow("negative") << qint64(-5000) << "0:00:00";
    }

    void timeCode() {
        QFETCH(qint64, ms);
        QFETCH(QString, expected);
        QCOMPARE(ContactSheet::timeCode(ms), expected);
    }

    void times_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<std::vector<qint64>>("expected"); // empty: only checked to be spread
        QTest::newRow("4 over 16 s")
            << 4 << qint64(16000) << std::vector<qint64>{2000, 6000, 10000, 14000};
        QTest::newRow("1") << 1 << qint64(1000) << std::vector<qint64>{500};
        QTest::newRow("3 over 10 ms") << 3 << qint64(10) << std::vector<qint64>{1, 5, 8};
        QTest::newRow("more than milliseconds")
            << 4 << qint64(2) << std::vector<qint64>{0, 0, 1, 1};
        QTest::newRow("48 over 2 h") << 48 << qint64(7200000) << std::vector<qint64>{};
        QTest::newRow("600 over the longest length")
            << 600 << std::numeric_limits<qint64>::max() << std::vector<qint64>{};
    }

    void times() {
        QFETCH(int, count);
        QFETCH(qint64, length);
        QFETCH(std::vector<qint64>, expected);
        const std::vector<qint64> times = ContactSheet::times(count, length);
        if (!expected.empty())
            QCOMPARE(times, expected);
        QCOMPARE(times.size(), size_t(count));
        // Each in the middle of its slice, to the millisecond.
        for (int i = 0; i < count; ++i) {
            const long double middle = (2.0L * i + 1) * length / (2.0L * count);
            QVERIFY2(std::abs(times[i] - middle) <= 1 + middle * 1e-15L,
                     qPrintable(QString::number(i)));
        }
    }

    void timesOfNothing() {
        QVERIFY(ContactSheet::times(0, 1000).empty());
        QVERIFY(ContactSheet::times(-3, 1000).empty());
        QVERIFY(ContactSheet::times(5, 0).empty());
        QVERIFY(ContactSheet::times(5, -1000).empty());
        QCOMPARE(ContactSheet::times(100000, 1000).size(),
                 size_t(ContactSheet::kMaxColumns * ContactSheet::kMaxRows));
    }
};

QTEST_MAIN(TestContactSheet)
#include "tst_contactsheet.moc"
