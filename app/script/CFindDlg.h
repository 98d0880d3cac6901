#pragma once

#include <QDialog>
#include <QPointer>

class CScriptEditCtrl;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QPushButton;
class QVBoxLayout;
struct SearchHistory;

// Adds text to a history and to its combo box, newest first, unless the history holds that
// exact text already; the oldest entries go beyond the length the settings keep.
void AddToHistory(QStringList& history, QComboBox& box, const QString& text);

// The modeless find dialog of a script view: next and previous match, with match case, whole
// words and regular expressions. It frees itself when it closes.
class CFindDlg : public QDialog
{
    Q_OBJECT

public:
    CFindDlg(CScriptEditCtrl* edit, SearchHistory& history, QWidget* parent);

    void OnNext();
    void OnPrevious();

protected:
    // For the replace dialog, which adds its rows and buttons to these.
    CFindDlg(CScriptEditCtrl* edit, SearchHistory& history, QWidget* parent, const QString& title);

    // Sets the editor's search flags from the boxes; false when the editor is gone.
    bool ApplySearchFlags();
    QByteArray FindText() const;
    // Searches on in the direction of the last search; false when nothing is found.
    bool SearchAgain();
    // A failed search or replace says so with a beep.
    static void Beep();
    // An editable box of the history, newest first, named by its control number.
    QComboBox* NewHistoryBox(int id, const QStringList& history);
    // The editor's selection when it is one line, else empty.
    QString SelectedLine() const;
    void done(int result) override;
    // Tab walks the controls as they are laid out: the text boxes, the options, the buttons.
    // Qt's own order is the order the controls were made in, which a subclass's rows break.
    void FollowLayoutInTabOrder();
    // Alt and a control's letter acts on the control at once. Qt's own mnemonic clicks a moment
    // later, after showing the button pressed, so an Escape typed right after Alt+A would close
    // the dialog first and the replacement would never happen.
    void MnemonicsActAtOnce();

    QPointer<CScriptEditCtrl> m_pEdit;
    SearchHistory& m_history;
    QComboBox* m_pFindBox = nullptr;
    QGridLayout* m_pFields = nullptr;
    QVBoxLayout* m_pOptions = nullptr;
    QVBoxLayout* m_pButtons = nullptr;
    QPushButton* m_pNext = nullptr;
    QPushButton* m_pPrevious = nullptr;

private:
    void Search(bool forward);

    // The direction of the last search.
    bool m_bForward = true;
    QCheckBox* m_pMatchCase = nullptr;
    QCheckBox* m_pWholeWord = nullptr;
    QCheckBox* m_pRegExp = nullptr;
    QPushButton* m_pClose = nullptr;
};
