#pragma once

#include "CSizingControlBar.h"

#include <QFont>

class CXPropertySheet;
class QPlainTextEdit;

// The docking bar "스크립트 출력창": one read-only page for each open script, keyed by the
// script document's title, holding what compiling and running that script reported. The scripts'
// views write their pages through it.
class CScriptOutputBar : public CSizingControlBar
{
    Q_OBJECT

public:
    // Docking it in the main frame makes it the frame's.
    explicit CScriptOutputBar(QWidget* parent = nullptr);

    // A page for title, unless there is one already; the new page is shown.
    void AddPage(const QString& title);
    void RemovePage(const QString& title);
    // Index of title's page, -1 when there is none.
    int FindPage(const QString& title) const;
    int PageCount() const;

    // Empties title's page; appends text (with "\r\n" line ends) at its end, in sight.
    void ClearPage(const QString& title);
    void AppendText(const QString& title, const QString& text);
    QString PageText(const QString& title) const;
    // The edit box of title's page, or null.
    QPlainTextEdit* PageEdit(const QString& title) const;

signals:
    // A verifier error line of title's page was double-clicked; line counts from 1.
    void errorLineActivated(const QString& title, int line);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnDoubleClick(QPlainTextEdit* edit, const QPoint& pos);

    QFont m_font;
    CXPropertySheet* m_pSheet = nullptr;
};

// The line number that a verifier error line names ("error : line %d, ..."), or 0.
int ErrorLineNumber(const QString& text);
