#include "CFindBar.h"

#include "CTextSearch.h"
#include "CTextViewCtrl.h"
#include "LinkText.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

const char* const kInvalidText = QT_TRANSLATE_NOOP("CFindBar", "잘못된 패턴");
const char* const kNotFoundText = QT_TRANSLATE_NOOP("CFindBar", "찾을 수 없음");

QToolButton* MakeButton(const QString& text, const QString& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tip);
    // A click leaves the keys in the field.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

CFindBar::CFindBar(CTextViewCtrl* view, QWidget* parent)
    : QWidget(parent), m_pView(view), m_pField(new QLineEdit(this)), m_pCount(new QLabel(this)),
      m_pPrevious(MakeButton(tr("이전"), tr("이전 찾기 (Shift+F3)"), this)),
      m_pNext(MakeButton(tr("다음"), tr("다음 찾기 (F3)"), this)),
      m_pClose(MakeButton(tr("닫기"), tr("찾기 막대를 닫습니다 (Esc)"), this))
{
    setObjectName(QStringLiteral("FindBar"));
    m_pField->setObjectName(QStringLiteral("FindField"));
    m_pField->setClearButtonEnabled(true);
    m_pField->installEventFilter(this);
    m_pCount->setObjectName(QStringLiteral("FindCount"));
    m_pCount->setMinimumWidth(
        m_pCount->fontMetrics().horizontalAdvance(QStringLiteral("00000/00000")));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(tr("찾기:"), this));
    layout->addWidget(m_pField, 1);
    layout->addWidget(m_pPrevious);
    layout->addWidget(m_pNext);
    layout->addWidget(m_pCount);
    layout->addWidget(m_pClose);
    connect(m_pField, &QLineEdit::textChanged, this, &CFindBar::Refresh);
    connect(m_pPrevious, &QToolButton::clicked, this, [this] { FindNext(false); });
    connect(m_pNext, &QToolButton::clicked, this, [this] { FindNext(true); });
    connect(m_pClose, &QToolButton::clicked, this, &CFindBar::Close);
    hide();
}

QByteArray CFindBar::Pattern(bool* valid) const
{
    const QString text = m_pField->text();
    *valid = true;
    if (text.isEmpty())
        return QByteArray();
    QByteArray bytes;
    if (m_pView->IsHexaView())
        *valid = ParseHexPattern(text, &bytes);
    else
        bytes = QByteArray::fromStdString(LinkText(text, m_pView->GetTextEncoding()).bytes);
    if (bytes.size() > kMaxSearchPatternBytes) {
        *valid = false;
        bytes.clear();
    }
    return bytes;
}

void CFindBar::Refresh()
{
    m_pField->setPlaceholderText(m_pView->IsHexaView() ? tr("16진수 바이트 (예: 0D 0A)")
                                                       : tr("찾을 문자열"));
    bool valid = true;
    const QByteArray pattern = Pattern(&valid);
    m_pView->SetSearchPattern(isVisible() ? pattern : QByteArray());
    // A count of another pattern would mislead.
    if (pattern != m_pattern || valid != m_bValid)
        m_pCount->setText(valid ? QString() : tr(kInvalidText));
    m_pattern = pattern;
    m_bValid = valid;
    m_pPrevious->setEnabled(!pattern.isEmpty());
    m_pNext->setEnabled(!pattern.isEmpty());
}

void CFindBar::Open()
{
    show();
    Refresh();
    m_pField->setFocus(Qt::ShortcutFocusReason);
    m_pField->selectAll();
}

void CFindBar::FindNext(bool forward)
{
    show();
    Refresh(); // the view's mode or encoding may have changed since
    if (m_pattern.isEmpty()) {
        // Nothing to search (an invalid pattern says so): the field takes the keys.
        m_pField->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    const SearchHit hit = m_pView->FindNext(forward);
    if (!hit.found) {
        m_pCount->setText(tr(kNotFoundText));
        QApplication::beep();
        emit notFound();
        return;
    }
    m_pCount->setText(QStringLiteral("%1/%2").arg(hit.index).arg(hit.count));
}

void CFindBar::Close()
{
    hide();
    m_pView->SetSearchPattern(QByteArray());
    m_pView->setFocus(Qt::OtherFocusReason);
}

QString CFindBar::CountText() const
{
    return m_pCount->text();
}

bool CFindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pField && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        switch (press->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            FindNext(!(press->modifiers() & Qt::ShiftModifier));
            return true;
        case Qt::Key_Escape:
            Close();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
