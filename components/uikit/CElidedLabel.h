#pragma once

#include <QFrame>
#include <QString>

// A one-line label for a status pane: it shrinks below its text, shows the text shortened with
// an ellipsis where it lacks room (in the middle, so both ends of a device path stay), and then
// offers the whole text as its tooltip.
class CElidedLabel : public QFrame
{
    Q_OBJECT

public:
    explicit CElidedLabel(const QString& text = QString(), QWidget* parent = nullptr);

    QString text() const { return m_strText; }
    void setText(const QString& text);
    // What the label shows at its present width.
    virtual QString ShownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Room for text inside the frame and margins.
    int TextRoom() const;
    // The frame and margins around the text, both sides together.
    int FramePx() const;
    // The text's width in whole pixels, measured once for each text and font.
    int TextPx() const;
    void changeEvent(QEvent* event) override;

private:
    QString m_strText;
    mutable bool m_bMeasured = false; // in the present font
    mutable QString m_strMeasured;
    mutable int m_nMeasuredPx = 0;
    mutable bool m_bEvenDigits = false;
};

// Gives widget, which shows held, the new text: its size and picture follow. False when held
// already was that text. The widget's least size may change only with its size.
bool ReplaceShownText(QWidget* widget, QString& held, const QString& text);
