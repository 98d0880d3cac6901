#include "CColorPicker.h"

#include <QApplication>
#include <QColorDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Answers the colour dialog that the next click opens: picks colour, or cancels when invalid.
void AnswerColourDialog(const QColor& colour)
{
    QTimer::singleShot(0, [colour] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (colour.isValid()) {
            dialog->setCurrentColor(colour);
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
}

} // namespace

TEST(ColorRef, ConvertsBetweenColorRefAndRgb)
{
    struct Case
    {
        COLORREF ref;
        QColor colour;
    };
    const Case cases[] = {
        {0x000000, QColor(0, 0, 0)},    {0x0000FF, QColor(255, 0, 0)},
        {0x00FF00, QColor(0, 255, 0)},  {0xFF0000, QColor(0, 0, 255)},
        {0x323232, QColor(50, 50, 50)}, {0x563412, QColor(0x12, 0x34, 0x56)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ColourFromRef(c.ref), c.colour) << std::hex << c.ref;
        EXPECT_EQ(RefFromColour(c.colour), c.ref) << std::hex << c.ref;
    }
}

TEST(CColorPicker, ShowsTheColourItIsGiven)
{
    CColorPicker picker;
    picker.resize(60, 24);
    QSignalSpy changed(&picker, &CColorPicker::colourChanged);
    picker.SetColour(0x0000FF);
    EXPECT_EQ(picker.GetColour(), 0x0000FFu);
    EXPECT_EQ(changed.count(), 1);
    // Bits above the colour are not part of it.
    picker.SetColour(0xFF00FF00);
    EXPECT_EQ(picker.GetColour(), 0x00FF00u);

    const QImage image = picker.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(image.width() / 2, image.height() / 2)), QColor(0, 255, 0));
}

TEST(CColorPicker, ClickLetsTheUserPickAndCancelKeepsTheColour)
{
    CColorPicker picker;
    picker.SetColour(0x112233);
    picker.show();

    AnswerColourDialog(QColor(0x0A, 0x0B, 0x0C));
    QTest::mouseClick(&picker, Qt::LeftButton);
    EXPECT_EQ(picker.GetColour(), 0x0C0B0Au);

    AnswerColourDialog(QColor());
    QTest::mouseClick(&picker, Qt::LeftButton);
    EXPECT_EQ(picker.GetColour(), 0x0C0B0Au);
}
