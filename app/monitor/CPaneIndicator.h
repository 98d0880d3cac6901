#pragma once

#include <QFont>
#include <QStaticText>
#include <QString>
#include <QWidget>

// A status pane drawn by the monitor itself: green while its lamp value is lit, with its text
// centred in black. Used for the port description, the send and receive lamps and the input
// lines of a serial link, which are greyed while the link cannot tell them.
class CPaneIndicator : public QWidget
{
    Q_OBJECT

public:
    // id names the pane (32860, 32864, 32865).
    CPaneIndicator(int id, const QString& text, QWidget* parent);

    int Id() const { return m_nId; }
    int Lamp() const { return m_nLamp; }
    void SetLamp(int value);
    QString Text() const { return m_strText; }
    void SetText(const QString& text);
    bool IsLit() const;
    // Greyed, unlit, with reason as its tool tip; an empty reason makes it live again with its
    // own tool tip.
    void SetUnavailable(const QString& reason);
    bool IsUnavailable() const { return m_bUnavailable; }
    // The tool tip of a live pane; the port description makes its own.
    void SetLiveToolTip(const QString& tip);

    // What the pane shows at its present width: the port description shortens in the middle.
    QString ShownText() const;

    QSize sizeHint() const override;
    // The lamps never shrink below their text; the port description does.
    QSize minimumSizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void UpdateToolTip();
    int MarginPx() const;

    int m_nId = 0;
    int m_nLamp = 0;
    bool m_bUnavailable = false;
    QString m_strText;
    QString m_strLiveTip;
    QFont m_font;
    // ShownText, and its layout, for the text and width they were made for: a lamp blinks many
    // times a second, and shaping its text at every blink cost more than the fill.
    mutable QString m_strShown;
    mutable QStaticText m_shownLayout;
    mutable QString m_strShownFrom;
    mutable int m_nShownWidth = -1;
};
