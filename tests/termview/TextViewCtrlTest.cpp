// The widget: colours by attribute, hex dump, selection and copy, typed keys, scrolling, writes
// from a second thread, and selecting, scrolling to and marking what a search found.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <cmath>
#include <thread>

#include "CTextViewCtrl.h"
#include "HexLayout.h"

namespace {

constexpr int kWaitMs = 10000;

void Write(CTextViewCtrl& view, const QByteArray& text, char attr = kAttrReceived)
{
    for (const char c : text)
        view.TextWrite(static_cast<unsigned char>(c), attr);
}

class TextViewCtrlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_view.resize(600, 300);
        m_view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_view));
        const QFontMetricsF metrics(m_view.font(), m_view.viewport());
        m_cellWidth = metrics.horizontalAdvance(QLatin1Char('M'));
        m_lineHeight = std::ceil(metrics.lineSpacing());
    }
    // Waits for the batched repaint to bring the scroll bars to what was just written.
    void WaitForSync()
    {
        QSignalSpy shown(&m_view, &CTextViewCtrl::dataShown);
        ASSERT_TRUE(shown.wait(kWaitMs));
    }
    QPoint At(double col, int row) const
    {
        return QPoint(static_cast<int>(col * m_cellWidth),
                      static_cast<int>((row + 0.5) * m_lineHeight));
    }
    // Whether the viewport shows the row that reads text.
    bool RowShown(const QString& text) const
    {
        for (int row = 0; row < static_cast<int>(m_view.viewport()->height() / m_lineHeight);
             ++row) {
            if (m_view.ShownRowText(row) == text)
                return true;
        }
        return false;
    }
    // The background of a byte's hex cells in a row of the viewport, clear of the digits.
    QColor HexCellColour(int row, int index) const
    {
        const QImage image = m_view.viewport()->grab().toImage();
        return image.pixelColor(static_cast<int>(HexLayout::HexCol(index) * m_cellWidth) + 1,
                                static_cast<int>(row * m_lineHeight) + 1);
    }
    void Drag(QPoint from, QPoint to)
    {
        QWidget* target = m_view.viewport();
        QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, to, target->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, to);
    }

    CTextViewCtrl m_view;
    double m_cellWidth = 0;
    double m_lineHeight = 0;
};

} // namespace

TEST_F(TextViewCtrlTest, BytesAreDrawnInTheColoursOfTheirAttribute)
{
    // COLORREF is 0x00BBGGRR: 0xFF0000 is blue, 0x0000FF red.
    const uint32_t colours[kColourCount] = {0x000000, 0xFFFFFF, 0x0000FF, 0xFFFFFF, 0xFF0000,
                                            0xFFFFFF, 0x00FF00, 0xFFFFFF, 0x00FFFF};
    m_view.SetColor(colours);
    m_view.ControlReceive(true);
    Write(m_view, " ", kAttrSent);
    Write(m_view, " ", kAttrReceived);
    Write(m_view, "\x02", kAttrReceived);
    Write(m_view, "\x02", kAttrSent);
    WaitForSync();
    const QImage image = m_view.viewport()->grab().toImage();
    const auto pixel = [&](double col) { return image.pixelColor(At(col, 0).x(), 1); };
    EXPECT_EQ(pixel(0.5), QColor(Qt::blue));
    EXPECT_EQ(pixel(1.5), QColor(Qt::red));
    EXPECT_EQ(pixel(3.5), QColor(Qt::green));  // "STX" of the received byte: control in
    EXPECT_EQ(pixel(6.5), QColor(Qt::yellow)); // "STX" of the sent byte: control out
    EXPECT_EQ(pixel(40), QColor(Qt::black));   // beyond the text: the background
}

TEST_F(TextViewCtrlTest, MouseSelectionIsCopiedWithCtrlCAndTheContextActionOtherKeysAreTyped)
{
    Write(m_view, "hello world\r\nsecond line\r\n");
    WaitForSync();
    Drag(At(6.2, 0), At(6.2, 1));
    EXPECT_EQ(m_view.SelectedText(), "world\nsecond");
    QApplication::clipboard()->clear();
    QSignalSpy typed(&m_view, &CTextViewCtrl::keyText);
    QTest::keyClick(&m_view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "world\nsecond");
    EXPECT_EQ(typed.count(), 0); // a copy is not typed into the link
    m_view.ControlReceive(true); // codes shown are copied as shown
    EXPECT_EQ(m_view.SelectedText(), "world<0D><0A>\nsecond");
    m_view.ControlReceive(false);

    Drag(At(0, 1), At(6.6, 1));
    QAction* copy = nullptr;
    for (QAction* action : m_view.findChildren<QAction*>()) {
        if (action->text() == QStringLiteral("복사"))
            copy = action;
    }
    ASSERT_NE(copy, nullptr);
    ASSERT_TRUE(copy->isEnabled());
    copy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "second ");

    // A plain click drops the selection; Ctrl+C is then typed (ETX) instead of copied.
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, At(2, 0));
    EXPECT_EQ(m_view.SelectedText(), "");
    EXPECT_FALSE(copy->isEnabled());
    QKeyEvent etx(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QStringLiteral("\x03"));
    QApplication::sendEvent(&m_view, &etx);
    // Typed keys and composed text reach the owner; echo is the owner's business.
    const int held = m_view.GetBufferSize();
    QTest::keyClicks(&m_view, QStringLiteral("at"));
    QTest::keyClick(&m_view, Qt::Key_Return);
    QTest::keyClick(&m_view, Qt::Key_Tab);
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("한"));
    QApplication::sendEvent(&m_view, &composed);
    QStringList texts;
    for (const QList<QVariant>& signal : typed)
        texts << signal[0].toString();
    EXPECT_EQ(texts, QStringList({"\x03", "a", "t", "\r", "\t", QStringLiteral("한")}));
    EXPECT_EQ(m_view.GetBufferSize(), held);
}

TEST_F(TextViewCtrlTest, HexModeDumpsSixteenBytesPerRowAndMarksEveryMatchShown)
{
    Write(m_view, "ABCDEFGHIJKLMNOPQR\r\n");
    m_view.HexaView(true);
    WaitForSync();
    // Hex pairs of bytes 1 to 3 in the first row.
    Drag(At(HexLayout::HexCol(1) + 0.5, 0), At(HexLayout::HexCol(3) + 1.5, 0));
    EXPECT_EQ(m_view.SelectedText(), "42 43 44");
    // The character column of the second row: Q, R and the CR.
    Drag(At(HexLayout::AsciiCol(0) + 0.2, 1), At(HexLayout::AsciiCol(2) + 0.7, 1));
    EXPECT_EQ(m_view.SelectedText(), "51 52 0D");
    // The offset column of row 1 and the empty row below the end.
    Drag(At(1, 1), At(40, 5));
    EXPECT_EQ(m_view.SelectedText(), "51 52 0D 0A");

    // Every match shown is marked.
    m_view.Clear();
    Write(m_view, QByteArray("ab\r\ncd\r\nef\r\n"));
    WaitForSync();
    m_view.SetSearchPattern("\r\n");
    const SearchHit hit = m_view.FindNext(true);
    ASSERT_TRUE(hit.found);
    EXPECT_EQ(hit.count, 3u);
    EXPECT_EQ(hit.offset, 2u);

    // The first match is selected, the others marked, the rest drawn as before.
    const auto colourAt = [&](int index) { return HexCellColour(0, index); };
    const QColor marked = colourAt(6);
    EXPECT_EQ(colourAt(10), marked);
    EXPECT_NE(colourAt(2), marked) << "the selected match";
    EXPECT_NE(colourAt(0), marked) << "no match";
    m_view.SetSearchPattern({});
    EXPECT_NE(colourAt(6), marked) << "marks go with the pattern";
}

TEST_F(TextViewCtrlTest, ViewFollowsTheEndUnlessTheUserScrolledUpAndDroppedLinesDoNotMoveIt)
{
    QScrollBar* bar = m_view.verticalScrollBar();
    m_view.SetTotalLineMax(200);
    for (int i = 0; i < 200; ++i)
        Write(m_view, QByteArray("line ") + QByteArray::number(i) + "\r\n");
    WaitForSync();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    QTest::keyClick(&m_view, Qt::Key_PageUp);
    QTest::keyClick(&m_view, Qt::Key_Up);
    const int reading = bar->value();
    EXPECT_EQ(reading, bar->maximum() - bar->pageStep() - 1);
    const QString top = m_view.ShownRowText(0);
    Write(m_view, "more\r\nand more\r\n");
    WaitForSync();
    EXPECT_EQ(m_view.GetLineSize(), 200);
    // Not yanked down, and two lines gone above: the line read is still on top.
    EXPECT_EQ(bar->value(), reading - 2);
    EXPECT_EQ(m_view.ShownRowText(0), top);

    m_view.VScroll(QAbstractSlider::SliderPageStepAdd);
    QTest::keyClick(&m_view, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(bar->value(), bar->maximum());
    Write(m_view, "again\r\n");
    WaitForSync();
    EXPECT_EQ(bar->value(), bar->maximum()); // at the bottom it follows again
}

TEST_F(TextViewCtrlTest, WritesFromAnotherThreadWhileTheViewPaints)
{
    constexpr int kLines = 20000;
    m_view.SetTotalLineMax(5000);
    m_view.CaretShow(true);
    std::atomic<bool> done = false;
    std::thread writer([&] {
        for (int i = 0; i < kLines; ++i) {
            const QByteArray line = QByteArray("line ") + QByteArray::number(i) + "\r\n";
            if (i % 2)
                m_view.TextWrite(reinterpret_cast<const unsigned char*>(line.constData()),
                                 static_cast<int>(line.size()), kAttrSent);
            else
                Write(m_view, line, kAttrSent);
        }
        done = true;
    });
    int paints = 0;
    while (!done) {
        QCoreApplication::processEvents();
        m_view.viewport()->repaint();
        m_view.SelectAll();
        ++paints;
    }
    writer.join();
    QScrollBar* bar = m_view.verticalScrollBar();
    // 5000 lines and the empty one the next byte goes to, the last page of them in sight.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return bar->maximum() == 5001 - bar->pageStep() && bar->value() == bar->maximum(); },
        kWaitMs));
    EXPECT_GT(paints, 0);
    EXPECT_EQ(m_view.GetLineSize(), 5000);
    QByteArray bytes;
    QByteArray attrs;
    m_view.GetBuffer(bytes, attrs);
    EXPECT_TRUE(bytes.startsWith("line 15000\r\n"));
    EXPECT_TRUE(bytes.endsWith("line 19999\r\n"));
    EXPECT_EQ(m_view.GetBufferSize(), bytes.size());
    EXPECT_EQ(attrs, QByteArray(attrs.size(), kAttrSent));
}

TEST_F(TextViewCtrlTest, FoundMatchesAreSelectedAndScrolledIntoViewAcrossChunks)
{
    Write(m_view, "first\r\nnee");
    Write(m_view, "dle\r\n"); // the match spans the two chunks
    for (int i = 0; i < 300; ++i)
        Write(m_view, QByteArray::number(i) + "\r\n");
    WaitForSync();
    ASSERT_FALSE(RowShown(QStringLiteral("needle"))) << "the view follows the end";

    m_view.SetSearchPattern("needle");
    SearchHit hit = m_view.FindNext(true);
    ASSERT_TRUE(hit.found);
    EXPECT_EQ(hit.offset, 7u);
    EXPECT_EQ(m_view.SelectedText(), QStringLiteral("needle"));
    EXPECT_TRUE(RowShown(QStringLiteral("needle")));

    // Across a line break; nothing found moves nothing.
    m_view.SetSearchPattern("12\r\n13");
    hit = m_view.FindNext(false);
    ASSERT_TRUE(hit.found);
    EXPECT_EQ(m_view.SelectedText(), QStringLiteral("12\n13"));
    const int top = m_view.verticalScrollBar()->value();
    m_view.SetSearchPattern("absent");
    EXPECT_FALSE(m_view.FindNext(true).found);
    EXPECT_EQ(m_view.SelectedText(), QStringLiteral("12\n13"));
    EXPECT_EQ(m_view.verticalScrollBar()->value(), top);
}

TEST_F(TextViewCtrlTest, HexFindAfterTheOldestLinesWentLandsOnTheMatchesRowAndBytes)
{
    // Lines of 9 bytes under a line limit: the first byte held is not the first of a hex row.
    constexpr int kLines = 1001;
    constexpr int kLineBytes = 9;
    m_view.SetTotalLineMax(200);
    m_view.HexaView(true);
    for (int i = 0; i < kLines; ++i)
        Write(m_view, QStringLiteral("n%1\r\n").arg(i, 6, 10, QLatin1Char('0')).toLatin1());
    WaitForSync();
    const auto first = static_cast<uint64_t>(kLines * kLineBytes - m_view.GetBufferSize());
    ASSERT_NE(first % kHexBytesPerRow, 0u);
    const int visible = static_cast<int>(m_view.viewport()->height() / m_lineHeight);

    const struct
    {
        int line; // the one line that matches
        bool forward;
    } cases[] = {{850, true}, {static_cast<int>(first / kLineBytes), false}, {900, true}};
    for (const auto& c : cases) {
        const QByteArray pattern = "n" + QByteArray::number(c.line).rightJustified(6, '0');
        const auto at = static_cast<uint64_t>(c.line * kLineBytes);
        m_view.SetSearchPattern(pattern);
        const SearchHit hit = m_view.FindNext(c.forward);
        ASSERT_TRUE(hit.found) << pattern.constData();
        EXPECT_EQ(hit.offset, at) << pattern.constData();
        EXPECT_EQ(m_view.SelectedText(), pattern.toHex(' ').toUpper()) << pattern.constData();
        // The match's row is in sight, where the view scrolled it, with the match's bytes.
        const auto row = static_cast<int>(at / kHexBytesPerRow - first / kHexBytesPerRow) -
                         m_view.verticalScrollBar()->value();
        ASSERT_GE(row, 0) << pattern.constData();
        ASSERT_LT(row, visible) << pattern.constData();
        if (m_view.verticalScrollBar()->value() > 0) {
            EXPECT_EQ(row, visible / 2) << pattern.constData();
        }
        const QString rowText = m_view.ShownRowText(row);
        const QString rowOffset =
            QString::number(at - at % kHexBytesPerRow, 16).rightJustified(8, u'0').toUpper();
        EXPECT_TRUE(rowText.startsWith(rowOffset)) << rowText.toStdString();
        // Drawn selected from the match's first byte to its last, the held bytes around it not.
        const auto cellOf = [&](uint64_t offset) {
            return HexCellColour(
                static_cast<int>(offset / kHexBytesPerRow - first / kHexBytesPerRow) -
                    m_view.verticalScrollBar()->value(),
                static_cast<int>(offset % kHexBytesPerRow));
        };
        const QColor selected = cellOf(at);
        EXPECT_EQ(cellOf(at + 6), selected) << pattern.constData();
        EXPECT_NE(cellOf(at + 7), selected) << pattern.constData();
        if (at > first) {
            EXPECT_NE(cellOf(at - 1), selected) << pattern.constData();
        }
    }
}

TEST_F(TextViewCtrlTest, BytesShownPieceByPieceLookAsIfDrawnWhole)
{
    // Following the end, new bytes repaint only the rows they changed and move the rest as
    // pixels: what the window holds must be what a whole repaint draws, in both modes, after
    // lines that end, lines that grow and a flood that scrolls by more than a page.
    const auto shownPixels = [&] {
        QApplication::processEvents();
        return m_view.screen()
            ->grabWindow(m_view.winId())
            .toImage()
            .copy(m_view.viewport()->geometry());
    };
    for (const bool hex : {false, true}) {
        m_view.Clear();
        m_view.HexaView(hex);
        for (int step = 0; step < 30; ++step) {
            QByteArray piece = QByteArray::number(step) + " part";
            if (step % 3 != 1)
                piece += '\n';
            if (step == 20)
                piece += QByteArray(4000, 'x') + '\n';
            Write(m_view, piece, step % 2 ? kAttrSent : kAttrReceived);
            WaitForSync();
            QTest::qWait(1);
        }
        const QImage pieces = shownPixels();
        m_view.viewport()->repaint();
        EXPECT_EQ(pieces, shownPixels()) << "hex " << hex;
    }
}
