#include "CFindReplaceDlg.h"

#include "CScriptEditCtrl.h"
#include "MessageBox.h"
#include "ScriptConstants.h"
#include "SearchHistory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CFindReplaceDlg::CFindReplaceDlg(CScriptEditCtrl* edit, SearchHistory& history, QWidget* parent)
    : CFindDlg(edit, history, parent, tr("문자열 바꾸기")),
      m_pReplaceBox(NewHistoryBox(IDC_FIND_REPLACE_TEXT, history.replace)),
      m_pInSelection(new QCheckBox(tr("선택 영역에서만(&S)"))),
      m_pReplace(new QPushButton(tr("바꾸기(&R)"))),
      m_pReplaceAll(new QPushButton(tr("모두 바꾸기(&A)"))), m_pResult(new QLabel)
{
    m_pInSelection->setObjectName(QString::number(IDC_FIND_IN_SELECTION));
    m_pReplace->setObjectName(QString::number(IDC_FIND_REPLACE));
    m_pReplaceAll->setObjectName(QString::number(IDC_FIND_REPLACE_ALL));
    m_pResult->setObjectName(QStringLiteral("result"));

    auto* replaceLabel = new QLabel(tr("바꿀 내용(&P):"));
    replaceLabel->setBuddy(m_pReplaceBox);
    m_pFields->addWidget(replaceLabel, 1, 0);
    m_pFields->addWidget(m_pReplaceBox, 1, 1);
    m_pOptions->addWidget(m_pInSelection);
    m_pOptions->addWidget(m_pResult);
    // After next and previous, before close.
    m_pButtons->insertWidget(2, m_pReplace);
    m_pButtons->insertWidget(3, m_pReplaceAll);
    FollowLayoutInTabOrder();
    MnemonicsActAtOnce();

    if (const QString selected = SelectedLine(); !selected.isEmpty())
        m_pReplaceBox->setEditText(selected);

    connect(m_pReplace, &QPushButton::clicked, this, &CFindReplaceDlg::OnReplace);
    connect(m_pReplaceAll, &QPushButton::clicked, this, &CFindReplaceDlg::OnReplaceAll);
    connect(m_pInSelection, &QCheckBox::toggled, this, &CFindReplaceDlg::OnInSelectionToggled);
}

QByteArray CFindReplaceDlg::ReplaceText()
{
    AddToHistory(m_history.replace, *m_pReplaceBox, m_pReplaceBox->currentText());
    return m_pReplaceBox->currentText().toUtf8();
}

void CFindReplaceDlg::OnInSelectionToggled(bool checked)
{
    for (QPushButton* button : {m_pNext, m_pPrevious, m_pReplace})
        button->setEnabled(!checked);
    // Enter does what can be done.
    (checked ? m_pReplaceAll : m_pNext)->setDefault(true);
}

void CFindReplaceDlg::OnReplace()
{
    if (!ApplySearchFlags())
        return;
    const QByteArray replacement = ReplaceText();
    // Only a match is replaced; otherwise the search below selects the next one first.
    m_pEdit->ReplaceSearchedText(FindText(), replacement);
    if (!SearchAgain())
        Beep();
}

void CFindReplaceDlg::OnReplaceAll()
{
    if (!ApplySearchFlags())
        return;
    AddToHistory(m_history.find, *m_pFindBox, m_pFindBox->currentText());
    const QByteArray replacement = ReplaceText();
    const bool inSelection = m_pInSelection->isChecked();
    // Nothing to put in is more often a replacement that was never typed than a wish to delete
    // every match: ask before the text goes.
    if (replacement.isEmpty()) {
        const int found = m_pEdit->CountMatches(FindText(), inSelection);
        if (found > 0 && ShowMessage(tr("찾은 %1개를 빈 문자열로 바꾸시겠습니까?").arg(found),
                                     QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                                     this) != QMessageBox::Yes)
            return;
    }
    const int count = m_pEdit->ReplaceAll(FindText(), replacement, inSelection);
    m_pResult->setText(tr("%1개를 바꿨습니다").arg(count));
    if (count == 0)
        Beep();
}
