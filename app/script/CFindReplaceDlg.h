#pragma once

#include "CFindDlg.h"

class QLabel;

// The modeless find and replace dialog of a script view: besides the searches, replace the
// match and search again, or replace every match in the text or in the selection.
class CFindReplaceDlg : public CFindDlg
{
    Q_OBJECT

public:
    CFindReplaceDlg(CScriptEditCtrl* edit, SearchHistory& history, QWidget* parent);

    void OnReplace();
    void OnReplaceAll();

private:
    QByteArray ReplaceText();
    void OnInSelectionToggled(bool checked);

    QComboBox* m_pReplaceBox = nullptr;
    QCheckBox* m_pInSelection = nullptr;
    QPushButton* m_pReplace = nullptr;
    QPushButton* m_pReplaceAll = nullptr;
    QLabel* m_pResult = nullptr;
};
