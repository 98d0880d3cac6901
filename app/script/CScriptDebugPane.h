#pragma once

#include <QWidget>

#include <optional>
#include <string>

struct CDebugStop;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The pane "변수" of a script window: what the script held where the debugger stopped it,
// every VAR, DIM (in hexadecimal and as text), EQU and ASSIGN, the bytes its pass received and
// the flags of its last CMP. While the script waits there a VAR's value may be changed: a
// double-click on it, a number, Enter.
class CScriptDebugPane : public QWidget
{
    Q_OBJECT

public:
    // Columns of the list.
    enum Column
    {
        kName,
        kKind,
        kValue,
        kHex,
    };

    explicit CScriptDebugPane(QWidget* parent = nullptr);

    // The script stopped there and waits.
    void ShowStop(const CDebugStop& stop);
    // The script runs on, or the run ended: the values of the last stop stay for reading.
    void ShowRunning();
    void ShowEnded();

    QTreeWidget* Tree() const { return m_pTree; }
    QLabel* StateLabel() const { return m_pState; }
    // The row of a name, or of the received bytes (the name RowReceived), or null.
    QTreeWidgetItem* Row(const QString& name) const;
    static QString RowReceived();

    // Bytes as the pane shows them: printable ASCII and valid UTF-8 as they are, other bytes
    // in the control-code notation <XX>; and as hexadecimal pairs.
    static QString BytesText(const std::string& bytes);
    static QString BytesHex(const std::string& bytes);
    // A number typed for a VAR: decimal (with a fraction or exponent), or with the language's
    // H or B suffix. Nothing for anything else.
    static std::optional<double> ReadValue(const QString& text);

signals:
    void variableEdited(const QString& name, double value);

private:
    void OnItemChanged(QTreeWidgetItem* item, int column);

    QLabel* m_pTitle = nullptr;
    QLabel* m_pState = nullptr;
    QTreeWidget* m_pTree = nullptr;
    bool m_bFilling = false;
    bool m_bStopped = false;
    int m_nLine = 0;
    QString m_strText;
};
