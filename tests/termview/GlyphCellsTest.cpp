// Copied glyph cells: used once a pair of colours matched the font, and then giving exactly the
// font's pixels without touching any pixel outside the run.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTest>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "CGlyphCells.h"

TEST(GlyphCells, RunsAreCopiedOnceTheyMatchAndLeaveTheirSurroundingsAlone)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    const QRawFont raw = QRawFont::fromFont(font);
    ASSERT_TRUE(raw.isValid());
    QString ascii;
    for (char c = 0x20; c < 0x7F; ++c)
        ascii += QLatin1Char(c);
    const QList<quint32> glyphs = raw.glyphIndexesForString(ascii);
    ASSERT_EQ(glyphs.size(), ascii.size());
    const QFontMetricsF metrics(font);
    const qreal cellWidth = std::round(metrics.horizontalAdvance(QLatin1Char('M')) * 64) / 64;
    const int lineHeight = static_cast<int>(std::ceil(metrics.lineSpacing()));
    CGlyphCells cells;
    cells.Reset(raw, glyphs.constData(), cellWidth, lineHeight, metrics.ascent());

    const std::string text = "Hello, world: 0123 quick fox";
    const auto count = static_cast<int>(text.size());
    const QColor fore(0xE0, 0xE0, 0x40);
    const QColor back(0x10, 0x20, 0x30);
    int byFont = 0;
    std::vector<int> all(static_cast<std::size_t>(count));
    std::iota(all.begin(), all.end(), 0);
    const auto drawRun = [&](QImage& image, qreal x, bool copies) {
        // The caller's part: the run's cells filled with the background; red where the
        // neighbouring runs drew.
        image.fill(Qt::red);
        QPainter p(&image);
        p.fillRect(QRectF(x, 0, count * cellWidth, lineHeight), back);
        const auto byGlyphs = [&](const std::vector<int>& which) {
            std::vector<quint32> indexes;
            std::vector<QPointF> places;
            for (const int k : which) {
                indexes.push_back(glyphs[text[std::size_t(k)] - 0x20]);
                places.emplace_back(k * cellWidth, 0);
            }
            QGlyphRun run;
            run.setRawFont(raw);
            run.setRawData(indexes.data(), places.data(), static_cast<int>(which.size()));
            p.setPen(fore);
            p.drawGlyphRun(QPointF(x, metrics.ascent()), run);
            byFont += static_cast<int>(which.size());
        };
        if (copies)
            cells.DrawRun(p, x, 0, text.data(), count, fore, back, byGlyphs);
        else
            byGlyphs(all);
    };
    // Whole and fractional columns, and a run cut by the image's right edge.
    const int fits = static_cast<int>(std::ceil(count * cellWidth)) + 40;
    struct Place
    {
        qreal x;
        int width;
    };
    for (const Place place : {Place{20, fits}, Place{20.25, fits}, Place{7.5, fits / 2}}) {
        SCOPED_TRACE(testing::Message() << "run at " << place.x << " in " << place.width);
        QImage reference(place.width, lineHeight, QImage::Format_RGB32);
        drawRun(reference, place.x, false);
        QImage image(place.width, lineHeight, QImage::Format_RGB32);
        // Enough passes for the run's phases to be made, one every few milliseconds.
        for (int pass = 0; pass < 40; ++pass) {
            byFont = 0;
            drawRun(image, place.x, true);
            ASSERT_EQ(image, reference) << "pass " << pass;
            QTest::qWait(5);
        }
        // Glyphs whose ink meets a neighbour's stay with the font, but few do in this font.
        EXPECT_LT(byFont, count / 4) << "the last pass drew most glyphs by the font";
    }
}
