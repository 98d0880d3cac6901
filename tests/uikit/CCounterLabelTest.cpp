#include "CCounterLabel.h"
#include "MessageCapture.h"

#include <QApplication>
#include <QHelpEvent>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QStringList Numbers(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("\\d+"));
    QStringList numbers;
    for (const auto& match : number.globalMatch(text))
        numbers << match.captured();
    return numbers;
}

} // namespace

TEST(CCounterLabel, ShortensTheWordsStepByStepAndNeverADigit)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"I: 1200, O: 35, L: 12", {"I: 1200, O: 35, L: 12", "I:1200 O:35 L:12", "1200/35/12"}},
        {"I: 1200, O: 35, L: 12 (갈무리)",
         {"I: 1200, O: 35, L: 12 (갈무리)", "I:1200 O:35 L:12 (갈무리)", "I:1200 O:35 L:12…",
          "1200/35/12"}},
        {"I : 0, O : 0 ", {"I : 0, O : 0 ", "I:0 O:0", "0/0"}},
        {"OFF-LINE", {"OFF-LINE"}}, // no numbers: an ordinary shortened pane
    };
    for (const auto& [text, forms] : cases)
        EXPECT_EQ(CCounterLabel::Forms(QString::fromUtf8(text)), forms) << text;

    // From its least width to all it asks for, every number stays whole.
    const QString text = QStringLiteral("I: 1234567890, O: 7, L: 65535 (갈무리)");
    CCounterLabel label(text);
    label.setFrameShape(QFrame::Panel);
    label.show();
    const int least = label.minimumSizeHint().width();
    EXPECT_LT(least, label.sizeHint().width());
    for (int width = least; width <= label.sizeHint().width(); ++width) {
        label.resize(width, label.sizeHint().height());
        ASSERT_EQ(Numbers(label.ShownText()), Numbers(text)) << width;
        EXPECT_LE(label.fontMetrics().horizontalAdvance(label.ShownText()),
                  label.contentsRect().width())
            << width;
        // What it leaves out, its tooltip tells.
        QHelpEvent ask(QEvent::ToolTip, QPoint(1, 1), label.mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(&label, &ask);
        EXPECT_EQ(label.toolTip(), label.ShownText() == text ? QString() : text) << width;
    }
}

TEST(CCounterLabel, ItsMeasureFollowsTheTextAndTheFont)
{
    CCounterLabel label(QStringLiteral("I: 9, O: 0, L: 1"));
    label.show();
    const QSize small = label.sizeHint();
    label.setText(QStringLiteral("I: 99999, O: 0, L: 1"));
    EXPECT_GT(label.sizeHint().width(), small.width());
    // Other letters in the same places are measured again, other digits need not be.
    const int digits = label.sizeHint().width();
    label.setText(QStringLiteral("W: 99999, O: 0, L: 1"));
    EXPECT_GT(label.sizeHint().width(), digits);
    label.setText(QStringLiteral("I: 12345, O: 0, L: 1"));
    EXPECT_EQ(label.sizeHint().width(), digits);

    // A larger font asks for more room; at the room it had, the words shorten.
    const int before = label.sizeHint().width();
    label.resize(label.sizeHint());
    QFont larger = label.font();
    larger.setPointSizeF(larger.pointSizeF() * 1.5);
    label.setFont(larger);
    EXPECT_GT(label.sizeHint().width(), before);
    EXPECT_NE(label.ShownText(), label.text());
    EXPECT_LE(label.fontMetrics().horizontalAdvance(label.ShownText()),
              label.contentsRect().width());
}
