#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

// Draws a cell as a push button with the cell's text and reports a click on it: pressed and
// released with the left button inside the same cell. A row with a repeat period gets a toggle
// button, drawn pressed while the row repeats.
class CButtonDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

signals:
    void clicked(const QModelIndex& index);

private:
    QPersistentModelIndex m_pressed; // drawn sunken while the button is held
};
