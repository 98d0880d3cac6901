#include "CFindDlg.h"

#include "CScriptEditCtrl.h"
#include "ScriptConstants.h"
#include "SearchHistory.h"
#include "ShellConstants.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

constexpr int kBoxMinimumChars = 30;

QCheckBox* NewCheckBox(const QString& text, int id)
{
    auto* box = new QCheckBox(text);
    box->setObjectName(QString::number(id));
    return box;
}

QPushButton* NewButton(const QString& text, int id)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QString::number(id));
    return button;
}

} // namespace

void AddToHistory(QStringList& history, QComboBox& box, const QString& text)
{
    if (text.isEmpty() || history.contains(text))
        return;
    history.append(text);
    box.insertItem(0, text);
    box.setCurrentIndex(0);
    // Only so many are kept between runs: the oldest go, or new entries would be the ones lost.
    while (history.size() > kMaxHistoryEntries) {
        history.removeFirst();
        box.removeItem(box.count() - 1);
    }
}

CFindDlg::CFindDlg(CScriptEditCtrl* edit, SearchHistory& history, QWidget* parent)
    : CFindDlg(edit, history, parent, tr("문자열 찾기"))
{
    FollowLayoutInTabOrder();
    MnemonicsActAtOnce();
}

CFindDlg::CFindDlg(CScriptEditCtrl* edit, SearchHistory& history, QWidget* parent,
                   const QString& title)
    : QDialog(parent), m_pEdit(edit), m_history(history),
      m_pFindBox(NewHistoryBox(IDC_FIND_TEXT, history.find)), m_pFields(new QGridLayout),
      m_pOptions(new QVBoxLayout), m_pButtons(new QVBoxLayout),
      m_pNext(NewButton(tr("다음 찾기(&F)"), IDC_FIND_NEXT)),
      m_pPrevious(NewButton(tr("이전 찾기(&B)"), IDC_FIND_PREVIOUS)),
      m_pMatchCase(NewCheckBox(tr("대/소문자 구분(&C)"), IDC_FIND_MATCH_CASE)),
      m_pWholeWord(NewCheckBox(tr("단어 단위로(&W)"), IDC_FIND_WHOLE_WORD)),
      m_pRegExp(NewCheckBox(tr("정규식(&E)"), IDC_FIND_REGEXP)),
      m_pClose(new QPushButton(tr("닫기")))
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_pClose->setObjectName(QStringLiteral("IDCANCEL"));
    setWindowTitle(title);

    auto* findLabel = new QLabel(tr("찾을 내용(&N):"));
    findLabel->setBuddy(m_pFindBox);
    m_pFields->addWidget(findLabel, 0, 0);
    m_pFields->addWidget(m_pFindBox, 0, 1);
    for (QCheckBox* box : {m_pMatchCase, m_pWholeWord, m_pRegExp})
        m_pOptions->addWidget(box);
    for (QPushButton* button : {m_pNext, m_pPrevious, m_pClose})
        m_pButtons->addWidget(button);
    m_pButtons->addStretch();
    m_pNext->setDefault(true);

    auto* left = new QVBoxLayout;
    left->addLayout(m_pFields);
    left->addLayout(m_pOptions);
    left->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(m_pButtons);

    if (const QString selected = SelectedLine(); !selected.isEmpty())
        m_pFindBox->setEditText(selected);
    m_pFindBox->lineEdit()->selectAll();
    m_pFindBox->setFocus();

    connect(m_pNext, &QPushButton::clicked, this, &CFindDlg::OnNext);
    connect(m_pPrevious, &QPushButton::clicked, this, &CFindDlg::OnPrevious);
    connect(m_pClose, &QPushButton::clicked, this, &QDialog::reject);
    // F3 repeats the search as in the editor's own keys; clicking a disabled button does nothing.
    connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, m_pNext,
            &QPushButton::click);
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this), &QShortcut::activated,
            m_pPrevious, &QPushButton::click);
}

QComboBox* CFindDlg::NewHistoryBox(int id, const QStringList& history)
{
    auto* box = new QComboBox;
    box->setObjectName(QString::number(id));
    box->setEditable(true);
    // The history decides what the list holds, not the box; and the text searched for is the
    // text typed, not a longer entry of the history completed into it.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->setMinimumContentsLength(kBoxMinimumChars);
    for (auto entry = history.crbegin(); entry != history.crend(); ++entry)
        box->addItem(*entry);
    return box;
}

void CFindDlg::FollowLayoutInTabOrder()
{
    QList<QWidget*> chain;
    for (int row = 0; row < m_pFields->rowCount(); ++row) {
        if (const QLayoutItem* field = m_pFields->itemAtPosition(row, 1))
            chain << field->widget();
    }
    for (const QVBoxLayout* column : {m_pOptions, m_pButtons}) {
        for (int i = 0; i < column->count(); ++i) {
            QWidget* control = column->itemAt(i)->widget();
            if (control != nullptr && (control->focusPolicy() & Qt::TabFocus) != 0)
                chain << control;
        }
    }
    chain.removeAll(nullptr);
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void CFindDlg::MnemonicsActAtOnce()
{
    for (QAbstractButton* control : findChildren<QAbstractButton*>()) {
        const QKeySequence key = control->shortcut();
        if (key.isEmpty())
            continue;
        control->setShortcut(QKeySequence());
        // A disabled control ignores the click.
        connect(new QShortcut(key, this), &QShortcut::activated, control, &QAbstractButton::click);
    }
}

QString CFindDlg::SelectedLine() const
{
    const QByteArray selected = m_pEdit->GetSelectedText();
    return selected.contains('\n') || selected.contains('\r') ? QString()
                                                              : QString::fromUtf8(selected);
}

bool CFindDlg::ApplySearchFlags()
{
    if (!m_pEdit)
        return false;
    int flags = 0;
    if (m_pWholeWord->isChecked())
        flags |= QsciScintillaBase::SCFIND_WHOLEWORD;
    if (m_pMatchCase->isChecked())
        flags |= QsciScintillaBase::SCFIND_MATCHCASE;
    if (m_pRegExp->isChecked())
        flags |= QsciScintillaBase::SCFIND_REGEXP;
    m_pEdit->SetSearchFlags(flags);
    return true;
}

QByteArray CFindDlg::FindText() const
{
    return m_pFindBox->currentText().toUtf8();
}

void CFindDlg::Beep()
{
    QApplication::beep();
}

void CFindDlg::OnNext()
{
    Search(true);
}

void CFindDlg::OnPrevious()
{
    Search(false);
}

void CFindDlg::Search(bool forward)
{
    if (!ApplySearchFlags())
        return;
    AddToHistory(m_history.find, *m_pFindBox, m_pFindBox->currentText());
    m_bForward = forward;
    if (!SearchAgain())
        Beep();
}

bool CFindDlg::SearchAgain()
{
    return m_bForward ? m_pEdit->SearchForward(FindText()) : m_pEdit->SearchBackward(FindText());
}

void CFindDlg::done(int result)
{
    // Without a window manager the keyboard does not go back to the editor by itself.
    if (m_pEdit) {
        m_pEdit->window()->activateWindow();
        m_pEdit->setFocus();
    }
    QDialog::done(result);
}
