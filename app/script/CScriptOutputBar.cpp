#include "CScriptOutputBar.h"

#include "CXPropertyPage.h"
#include "CXPropertySheet.h"
#include "ScriptConstants.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

// The page's edit box, named as its control.
constexpr int kOutputEditId = 1001;
constexpr int kPageValue = 1;

QPlainTextEdit* EditOf(QWidget* page)
{
    return page != nullptr ? page->findChild<QPlainTextEdit*>() : nullptr;
}

} // namespace

int ErrorLineNumber(const QString& text)
{
    static const QRegularExpression kErrorLine(QStringLiteral("^error : line (\\d+), "));
    const QRegularExpressionMatch match = kErrorLine.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

CScriptOutputBar::CScriptOutputBar(QWidget* parent)
    : CSizingControlBar(parent), m_font(QString::fromUtf8(kOutputFont)),
      m_pSheet(new CXPropertySheet(this))
{
    m_font.setPixelSize(kOutputFontPx);
    setWidget(m_pSheet);
}

void CScriptOutputBar::AddPage(const QString& title)
{
    if (FindPage(title) >= 0)
        return;
    auto* page = new CXPropertyPage(title);
    *page = kPageValue;
    auto* edit = new QPlainTextEdit(page);
    edit->setObjectName(QString::number(kOutputEditId));
    edit->setReadOnly(true);
    edit->setFont(m_font);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setMaximumBlockCount(kOutputPageMaxLines);
    edit->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);
    m_pSheet->AddPage(page, QIcon(QString::fromLatin1(kOutputPageIcon)), kPageValue);
}

void CScriptOutputBar::RemovePage(const QString& title)
{
    const int index = FindPage(title);
    if (index < 0)
        return;
    const int left = m_pSheet->DeletePage(index);
    if (left > 0)
        m_pSheet->setCurrentIndex(left - 1);
}

int CScriptOutputBar::FindPage(const QString& title) const
{
    return m_pSheet->FindPage(title);
}

int CScriptOutputBar::PageCount() const
{
    return m_pSheet->count();
}

QPlainTextEdit* CScriptOutputBar::PageEdit(const QString& title) const
{
    const int index = FindPage(title);
    return index >= 0 ? EditOf(m_pSheet->Page(index)) : nullptr;
}

void CScriptOutputBar::ClearPage(const QString& title)
{
    if (QPlainTextEdit* edit = PageEdit(title))
        edit->clear();
}

void CScriptOutputBar::AppendText(const QString& title, const QString& text)
{
    QPlainTextEdit* edit = PageEdit(title);
    if (edit == nullptr)
        return;
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor end(edit->document());
    end.movePosition(QTextCursor::End);
    end.insertText(plain);
    edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
}

QString CScriptOutputBar::PageText(const QString& title) const
{
    const QPlainTextEdit* edit = PageEdit(title);
    return edit != nullptr ? edit->toPlainText() : QString();
}

bool CScriptOutputBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto* edit = qobject_cast<QPlainTextEdit*>(watched->parent()))
            OnDoubleClick(edit, static_cast<QMouseEvent*>(event)->position().toPoint());
    }
    return CSizingControlBar::eventFilter(watched, event);
}

void CScriptOutputBar::OnDoubleClick(QPlainTextEdit* edit, const QPoint& pos)
{
    const int line = ErrorLineNumber(edit->cursorForPosition(pos).block().text());
    if (line <= 0)
        return;
    for (int i = 0; i < m_pSheet->count(); ++i) {
        if (EditOf(m_pSheet->Page(i)) == edit) {
            emit errorLineActivated(m_pSheet->Page(i)->Title(), line);
            return;
        }
    }
}
