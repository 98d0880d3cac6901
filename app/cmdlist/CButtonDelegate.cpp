#include "CButtonDelegate.h"

#include "CmdListConstants.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace {

const QColor kRepeatingButtonColour(0x9c, 0xd8, 0x9c);

} // namespace

void CButtonDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    // A row with a period has a toggle: marked, and held down while it repeats.
    const QModelIndex period = index.siblingAtColumn(kPeriodColumn);
    const bool toggle = !period.data(Qt::DisplayRole).toString().isEmpty();
    const bool repeating = period.data(kRepeatingRole).toBool();
    QStyleOptionButton button;
    button.rect = option.rect;
    button.text = index.data(Qt::DisplayRole).toString();
    if (toggle || repeating)
        button.text += QStringLiteral(" \u21BB");
    button.fontMetrics = option.fontMetrics;
    button.palette = option.palette;
    // Pressed alone is a faint shade in most styles; a repeat must be seen across the room.
    if (repeating)
        button.palette.setColor(QPalette::Button, kRepeatingButtonColour);
    button.state = option.state & QStyle::State_Enabled;
    if (index == m_pressed || repeating)
        button.state |= QStyle::State_Sunken | QStyle::State_On;
    else
        button.state |= QStyle::State_Raised;
    painter->save();
    painter->setFont(option.font);
    painter->fillRect(option.rect, button.palette.button());
    QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_PushButton, &button, painter, option.widget);
    painter->restore();
}

bool CButtonDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                  const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const auto* mouse = dynamic_cast<const QMouseEvent*>(event);
    if (mouse == nullptr || mouse->button() != Qt::LeftButton)
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    if (event->type() == QEvent::MouseButtonPress) {
        m_pressed = index;
        return false; // the view still makes the button's cell the current one
    }
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    const bool click = index == m_pressed && option.rect.contains(mouse->position().toPoint());
    m_pressed = QPersistentModelIndex();
    if (click)
        emit clicked(index);
    return click;
}
