#pragma once

#include "CAutoReply.h"

#include <QTimer>
#include <QWidget>

class CMonitorLink;
class QCheckBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTableWidget;

// The "자동 응답" panel beside a monitor's terminal: the window's reply rules in a text box,
// read from and written to rule files, applied and switched on and off, and how often each
// rule answered. A rule text with faults is not applied: the faults are listed by line and
// column, and the rules in use stay.
class CAutoReplyPanel : public QWidget
{
    Q_OBJECT

public:
    // Rule files read at most this: a text box is no place for more.
    static constexpr qint64 kMaxFileBytes = 4 << 20;
    // The counts in the table change at most this often.
    static constexpr int kCountsMs = 100;

    explicit CAutoReplyPanel(CMonitorLink* link, QWidget* parent = nullptr);

    CAutoReply& Replies() { return m_replies; }
    // Applies the text box's rules; false when they have faults (then listed).
    bool Apply();
    void SetRulesText(const QString& text);
    QString RulesText() const;
    void SetEnabled(bool on);
    // Reads a rule file into the text box and applies it; false, and the user told why, when
    // it cannot be read or its rules have faults.
    bool LoadFile(const QString& path);
    bool SaveFile(const QString& path);
    // The panel goes away: its rules stay, but answer nothing until it is shown and switched
    // on again, so nothing answers unseen.
    void Dismiss();

    QString StatusText() const;
    QStringList ErrorTexts() const;
    // The table's counts now, instead of at the next tick.
    void RefreshCounts();

signals:
    void closeRequested();
    // Esc: the keyboard goes back to the terminal.
    void leaveRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void InitActionsConnections();
    // A file name from a dialog, "" when none was chosen.
    QString ChooseFile(bool saving);
    void ShowErrors(const QList<AutoReplyError>& errors);
    void FillTable();
    void UpdateStatus();
    void OnErrorChosen(int row);

    CAutoReply m_replies;
    QString m_strApplied; // the text of the rules in use
    bool m_bFaulty = false;
    QTimer m_countTimer;

    QPlainTextEdit* m_pText = nullptr;
    QCheckBox* m_pEnabled = nullptr;
    QListWidget* m_pErrors = nullptr;
    QTableWidget* m_pTable = nullptr;
    QLabel* m_pStatus = nullptr;
    QList<AutoReplyError> m_errors;
};
