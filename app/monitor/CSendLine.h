#pragma once

#include "CSendLineHistory.h"
#include "SendLineBytes.h"

#include <QWidget>

class CMonitorLink;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

// A line under a monitor's terminal for typing a whole command before it goes: Enter (or
// 보내기) sends the text with the chosen line ending through the window's link as one send, so
// it is echoed, counted and captured as typed keys are, and on UDP it is one datagram. A text the
// link cannot carry (a malformed code, a character the encoding lacks, a bad hex pair) or a link
// that is down sends nothing and says why; the text stays. After a send the text stays selected:
// Enter sends it again, typing replaces it. Up and Down walk the lines sent before.
class CSendLine : public QWidget
{
    Q_OBJECT

public:
    // statusMessages may be null; the line shows its messages itself too.
    CSendLine(CMonitorLink* link, QStatusBar* statusMessages, QWidget* parent = nullptr);

    // Sends the line as Enter does; true when all of it went out.
    bool Send();
    QLineEdit* Editor() const { return m_pEditor; }
    SendLineMode Mode() const;
    void SetMode(SendLineMode mode);
    LineEnding Ending() const;
    void SetEnding(LineEnding ending);
    // What the line said last (a refusal, an offline link); empty after a good send or an edit.
    QString Message() const;
    const CSendLineHistory& History() const { return m_history; }

signals:
    // Escape: the keys go back to the terminal.
    void leaveRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void InitActionsConnections();
    void LoadSettings();
    void SaveChoices() const;
    void Say(const QString& text);
    // Why a line is refused, with the column where its fault starts.
    QString FaultText(const SendLineBytes& made) const;
    // Up (older) or Down (newer) through the history; past the newest, the line being typed.
    void Walk(int step);
    void OnModeChanged();

    CMonitorLink* m_pLink = nullptr;
    QStatusBar* m_pStatusMessages = nullptr;
    QComboBox* m_pMode = nullptr;
    QLineEdit* m_pEditor = nullptr;
    QComboBox* m_pEnding = nullptr;
    QPushButton* m_pSend = nullptr;
    QLabel* m_pMessage = nullptr;
    CSendLineHistory m_history;
    // The ending each mode keeps: a text usually ends its line, a hex frame rarely does.
    LineEnding m_endings[2] = {LineEnding::CrLf, LineEnding::None};
    // Where Up and Down stand: -1 is the line being typed, kept in m_strDraft.
    int m_nWalk = -1;
    QString m_strDraft;
};
