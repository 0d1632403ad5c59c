#include "ui/GlyphButton.h"

#include <QImage>
#include <QTest>

namespace {

struct Glyph {
    const char* name;
    QString font;
    QString glyph;
};

const QList<Glyph>& documentedGlyphs() {
    static const QList<Glyph> glyphs{
        {"rewind", "Webdings", "7"},
        {"play", "Webdings", "4"},
        {"pause", "Webdings", ";"},
        {"stop", "Webdings", "<"},
        {"fast forward", "Webdings", "8"},
        {"full screen", "Webdings", "1"},
        {"sound on", "Webdings", "U"},
        {"muted", "Webdings", "V"},
        {"snapshot", "Webdings", QString(QChar(0xB5))},
        {"continuous snapshots", "Webdings", QString(QChar(0xB9))},
        {"timed snapshots", "Wingdings", QString(QChar(0xC0))},
    };
    return glyphs;
}

QImage render(const QString& font, const QString& glyph, QSize size = {48, 48},
              bool enabled = true) {
    GlyphButton button;
    button.setGlyphFont(font);
    button.setGlyph(glyph);
    button.setEnabled(enabled);
    button.resize(size);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    button.render(&image);
    return image;
}

// Pixels that differ between two renderings of the same size.
int differingPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                ++count;
    return count;
}

// The bounding box of the pixels a glyph adds to the empty button.
QRect inkBox(const QImage& image, const QImage& empty) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != empty.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestGlyphButton : public QObject {
    Q_OBJECT

private slots:
    // Each icon covers a good part of the button (not a stray pixel or a tiny character), centred;
    // it is dimmed but still drawn when disabled, and grows with the button.
    void everyGlyphDrawsAnIcon_data() {
        QTest::addColumn<QString>("font");
        QTest::addColumn<QString>("glyph");
        for (const Glyph& g : documentedGlyphs())
            QTest::newRow(g.name) << g.font << g.glyph;
    }
    void everyGlyphDrawsAnIcon() {
        QFETCH(QString, font);
        QFETCH(QString, glyph);
        const QImage icon = render(font, glyph);
        const QRect box = inkBox(icon, render(font, QString()));
        QVERIFY2(box.width() >= 14 && box.height() >= 14,
                 qPrintable(QString("ink box %1x%2").arg(box.width()).arg(box.height())));
        QVERIFY(qAbs(box.center().x() - 24) <= 4);
        QVERIFY(qAbs(box.center().y() - 24) <= 4);

        const QImage disabled = render(font, glyph, {48, 48}, false);
        QVERIFY(differingPixels(icon, disabled) > 20);
        QVERIFY(!inkBox(disabled, render(font, QString(), {48, 48}, false)).isEmpty());

        const QRect small = inkBox(render(font, glyph, {40, 40}), render(font, {}, {40, 40}));
        const QRect large = inkBox(render(font, glyph, {80, 80}), render(font, {}, {80, 80}));
        const double ratio =
            double(large.width() + large.height()) / double(small.width() + small.height());
        QVERIFY2(ratio > 1.7 && ratio < 2.3, qPrintable(QString::number(ratio)));
    }

    void glyphsLookDifferent() {
        const auto& glyphs = documentedGlyphs();
        QList<QImage> images;
        for (const Glyph& g : glyphs)
            images.append(render(g.font, g.glyph));
        for (qsizetype i = 0; i < images.size(); ++i)
            for (qsizetype j = i + 1; j < images.size(); ++j)
                QVERIFY2(differingPixels(images[i], images[j]) > 20,
                         qPrintable(QString("%1 vs %2").arg(glyphs[i].name, glyphs[j].name)));
    }

    void fontDecidesTheIcon() {
        // Wingdings' timed-snapshot clock is a different character in Webdings, and vice versa.
        const QString clock(QChar(0xC0));
        QVERIFY(differingPixels(render("Wingdings", clock), render("Webdings", clock)) > 20);
        QVERIFY(differingPixels(render("Webdings", "4"), render("Wingdings", "4")) > 20);
        // Family names are not case-sensitive, and the symbol fonts' private-use codes map home.
        QCOMPARE(render("webdings", "4"), render("Webdings", "4"));
        QCOMPARE(render("Webdings", QString(QChar(0xF0B5))),
                 render("Webdings", QString(QChar(0xB5))));
    }

    void unknownGlyphIsDrawnAsText() {
        const QImage empty = render("Webdings", QString());
        const QImage unknown = render("Webdings", "Q");
        QVERIFY(differingPixels(unknown, empty) > 0);
        for (const Glyph& g : documentedGlyphs())
            QVERIFY(differingPixels(unknown, render(g.font, g.glyph)) > 20);
    }
};

QTEST_MAIN(TestGlyphButton)
#include "tst_glyphbutton.moc"
