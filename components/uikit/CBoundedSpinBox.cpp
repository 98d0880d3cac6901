#include "CBoundedSpinBox.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace {
// Digits enough for any value of an int, so a refused number is still seen whole.
constexpr qsizetype kMaxDigits = 10;
} // namespace

CBoundedSpinBox::CBoundedSpinBox(QWidget* parent) : QSpinBox(parent)
{
    setKeyboardTracking(false);
}

void CBoundedSpinBox::SelectForMending()
{
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

QValidator::State CBoundedSpinBox::validate(QString& text, int& pos) const
{
    const QValidator::State state = QSpinBox::validate(text, pos);
    if (state != QValidator::Invalid)
        return state;
    // Out of range, but a number: let it stand, for the dialog to refuse it.
    QString number = text;
    if (!prefix().isEmpty() && number.startsWith(prefix()))
        number.remove(0, prefix().size());
    if (!suffix().isEmpty() && number.endsWith(suffix()))
        number.chop(suffix().size());
    number = number.trimmed();
    if (number.startsWith(QLatin1Char('-')) || number.startsWith(QLatin1Char('+')))
        number.remove(0, 1);
    const bool digits =
        !number.isEmpty() && number.size() <= kMaxDigits &&
        std::all_of(number.begin(), number.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return digits ? QValidator::Intermediate : QValidator::Invalid;
}

void CBoundedSpinBox::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !InRange()) {
        // Left for the dialog's default button, with the text as typed.
        event->ignore();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

void CBoundedSpinBox::focusOutEvent(QFocusEvent* event)
{
    if (InRange()) {
        QSpinBox::focusOutEvent(event);
        return;
    }
    // Only the edit hears of it (its cursor stops blinking); the value is not touched.
    QCoreApplication::sendEvent(lineEdit(), event);
    QWidget::focusOutEvent(event);
}
