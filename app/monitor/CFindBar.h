#pragma once

#include <QByteArray>
#include <QWidget>

class CTextViewCtrl;
class QLabel;
class QLineEdit;
class QToolButton;

// The find bar at the bottom of a monitor window: searches the bytes its terminal view holds
// for a text (encoded as the view reads text) or, in hex mode, for bytes typed in hex ("0D 0A").
// What is typed here never reaches the link.
class CFindBar : public QWidget
{
    Q_OBJECT

public:
    CFindBar(CTextViewCtrl* view, QWidget* parent);

    // Shows the bar with its field focused and the field's text selected.
    void Open();
    // Selects the next (forward) or previous match; with no pattern yet, opens the bar instead.
    void FindNext(bool forward);
    // Hides the bar, drops the marks and gives the keys back to the terminal.
    void Close();
    // Reads the pattern again, as the view's mode now says (text or hex).
    void Refresh();

    QLineEdit* Field() const { return m_pField; }
    // "3/17" after a search, the reason when there is no match or the pattern is invalid.
    QString CountText() const;

signals:
    // A search found nothing (the bar beeped).
    void notFound();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The field's pattern as bytes; empty when the field is empty or *valid is set false.
    QByteArray Pattern(bool* valid) const;

    QByteArray m_pattern; // as last read: the marks and the count belong to it
    bool m_bValid = true;
    CTextViewCtrl* m_pView = nullptr;
    QLineEdit* m_pField = nullptr;
    QLabel* m_pCount = nullptr;
    QToolButton* m_pPrevious = nullptr;
    QToolButton* m_pNext = nullptr;
    QToolButton* m_pClose = nullptr;
};
