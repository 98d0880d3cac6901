#include "CButtonDelegate.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

void CButtonDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    QStyleOptionButton button;
    button.rect = option.rect;
    button.text = index.data(Qt::DisplayRole).toString();
    button.fontMetrics = option.fontMetrics;
    button.palette = option.palette;
    button.state = option.state & QStyle::State_Enabled;
    button.state |= index == m_pressed ? QStyle::State_Sunken : QStyle::State_Raised;
    painter->save();
    painter->setFont(option.font);
    painter->fillRect(option.rect, option.palette.button());
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
