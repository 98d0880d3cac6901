#pragma once

#include <QSpinBox>

// A number field whose range is checked when the dialog is confirmed, not behind the user's
// back: a number typed outside the range stays as typed (a plain spin box would quietly put
// back the last good value on Enter or on leaving the field, and then confirm that), any number
// may be typed, and Enter goes on to the dialog, which refuses the value and says why.
class CBoundedSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    explicit CBoundedSpinBox(QWidget* parent = nullptr);

    // Whether the field holds a whole number inside its range.
    bool InRange() const { return hasAcceptableInput(); }
    // Takes the keyboard and selects the text, for the user to mend it.
    void SelectForMending();

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
