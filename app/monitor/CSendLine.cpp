#include "CSendLine.h"

#include "CMonitorLink.h"
#include "MonitorConstants.h"
#include "ShellConstants.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

namespace {

const char* const kModeKey = "SendLineMode";
// The ending of each mode, by the mode's number.
const char* const kEndingKeys[] = {"SendLineEnding", "SendLineHexEnding"};

// The monitor windows' group of the settings.
class MonitorSettings : public QSettings
{
public:
    MonitorSettings() : QSettings(kCompanyName, kApplicationName)
    {
        beginGroup(QLatin1String(kGroupTarven));
    }
};

// A stored choice, or the default when it is missing or out of range.
int StoredChoice(const QSettings& settings, const char* key, int count, int fallback)
{
    bool ok = false;
    const int value = settings.value(QLatin1String(key)).toInt(&ok);
    return ok && value >= 0 && value < count ? value : fallback;
}

} // namespace

CSendLine::CSendLine(CMonitorLink* link, QStatusBar* statusMessages, QWidget* parent)
    : QWidget(parent), m_pLink(link), m_pStatusMessages(statusMessages),
      m_pMode(new QComboBox(this)), m_pEditor(new QLineEdit(this)), m_pEnding(new QComboBox(this)),
      m_pSend(new QPushButton(tr("보내기"), this)), m_pMessage(new QLabel(this))
{
    setObjectName(QStringLiteral("SendLine"));
    m_pMode->setObjectName(QStringLiteral("SendLineMode"));
    m_pMode->addItems({tr("텍스트"), QStringLiteral("HEX")});
    m_pMode->setToolTip(tr("입력줄을 글자로 읽을지 16진수로 읽을지 고릅니다."));
    m_pEditor->setObjectName(QStringLiteral("SendLineEdit"));
    m_pEditor->setMaxLength(CSendLineHistory::kMaxEntryChars);
    m_pEditor->installEventFilter(this);
    m_pEnding->setObjectName(QStringLiteral("SendLineEnding"));
    m_pEnding->addItems(
        {tr("없음"), QStringLiteral("CR"), QStringLiteral("LF"), QStringLiteral("CR LF")});
    m_pEnding->setToolTip(tr("보낼 때 줄 끝에 붙일 문자"));
    m_pSend->setObjectName(QStringLiteral("SendLineSend"));
    // A click sends and leaves the keys in the line.
    m_pSend->setFocusPolicy(Qt::NoFocus);
    m_pMessage->setObjectName(QStringLiteral("SendLineMessage"));
    // A long message shortens instead of widening the window; its whole text is the tool tip.
    m_pMessage->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_pMessage->setStyleSheet(QStringLiteral("color: #b00000;"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);
    layout->addWidget(m_pMode);
    layout->addWidget(m_pEditor, 3);
    layout->addWidget(m_pEnding);
    layout->addWidget(m_pSend);
    layout->addWidget(m_pMessage, 2);
    setFocusProxy(m_pEditor);

    LoadSettings();
    InitActionsConnections();
}

void CSendLine::InitActionsConnections()
{
    connect(m_pEditor, &QLineEdit::returnPressed, this, &CSendLine::Send);
    connect(m_pSend, &QPushButton::clicked, this, [this] {
        Send();
        m_pEditor->setFocus();
    });
    connect(m_pEditor, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_nWalk = -1;
        Say(text.size() >= m_pEditor->maxLength()
                ? tr("입력줄에는 %1자까지만 들어갑니다.").arg(m_pEditor->maxLength())
                : QString());
    });
    connect(m_pMode, &QComboBox::currentIndexChanged, this, [this] {
        OnModeChanged();
        SaveChoices();
    });
    connect(m_pEnding, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_endings[m_pMode->currentIndex()] = LineEnding(index);
        SaveChoices();
    });
    // A choice made, the keys go back to the line.
    for (QComboBox* box : {m_pMode, m_pEnding})
        connect(box, &QComboBox::activated, m_pEditor, [this] { m_pEditor->setFocus(); });
}

void CSendLine::LoadSettings()
{
    const MonitorSettings settings;
    for (int mode = 0; mode < 2; ++mode)
        m_endings[mode] =
            LineEnding(StoredChoice(settings, kEndingKeys[mode], 4, int(m_endings[mode])));
    m_pMode->setCurrentIndex(StoredChoice(settings, kModeKey, 2, 0));
    OnModeChanged();
    m_history.Load(settings);
}

void CSendLine::SaveChoices() const
{
    MonitorSettings settings;
    settings.setValue(QLatin1String(kModeKey), m_pMode->currentIndex());
    for (int mode = 0; mode < 2; ++mode)
        settings.setValue(QLatin1String(kEndingKeys[mode]), int(m_endings[mode]));
}

void CSendLine::OnModeChanged()
{
    const bool hex = Mode() == SendLineMode::Hex;
    {
        const QSignalBlocker quiet(m_pEnding);
        m_pEnding->setCurrentIndex(int(m_endings[hex ? 1 : 0]));
    }
    m_pEditor->setPlaceholderText(hex ? tr("16진수: 01 03 00 00 00 0A <CRC16>")
                                      : tr("텍스트: AT<0D>, 괄호는 << >>, 체크섬 <CRC16>"));
    m_pEditor->setToolTip(
        hex ? tr("바이트마다 16진수 두 자리를 씁니다(띄어쓰기는 자유). <CRC16> <CRC16CCITT> "
                 "<CRC32> <SUM8> <XOR8> <LRC>는 앞의 바이트들의 체크섬을 붙입니다.")
            : tr("글자는 창의 인코딩으로 나갑니다. <0D>처럼 꺾쇠 안의 16진수 두 자리는 그 "
                 "바이트, << 와 >> 는 꺾쇠 자체, <CRC16> <CRC16CCITT> <CRC32> <SUM8> <XOR8> "
                 "<LRC>는 앞의 바이트들의 체크섬입니다."));
}

SendLineMode CSendLine::Mode() const
{
    return SendLineMode(m_pMode->currentIndex());
}

void CSendLine::SetMode(SendLineMode mode)
{
    m_pMode->setCurrentIndex(int(mode));
}

LineEnding CSendLine::Ending() const
{
    return LineEnding(m_pEnding->currentIndex());
}

void CSendLine::SetEnding(LineEnding ending)
{
    m_pEnding->setCurrentIndex(int(ending));
}

QString CSendLine::Message() const
{
    return m_pMessage->text();
}

void CSendLine::Say(const QString& text)
{
    m_pMessage->setText(text);
    m_pMessage->setToolTip(text);
    if (m_pStatusMessages != nullptr && !text.isEmpty())
        m_pStatusMessages->showMessage(text, kRefusedTextMessageMs);
}

QString CSendLine::FaultText(const SendLineBytes& made) const
{
    QString text;
    switch (made.fault) {
    case SendLineBytes::Fault::Notation:
        text = tr("%1열('%2'): 제어코드 표기가 잘못되어 보내지 않았습니다. 바이트는 <0D>처럼 "
                  "16진수 두 자리로, 꺾쇠 자체는 << >>로 씁니다.");
        break;
    case SendLineBytes::Fault::Hex:
        text = tr("%1열('%2'): 16진수는 바이트마다 두 자리씩 씁니다(예: 0D 0A 41). 보내지 "
                  "않았습니다.");
        break;
    case SendLineBytes::Fault::Unencodable:
        return tr("%1열의 '%2' 문자는 %3(으)로 보낼 수 없어 보내지 않았습니다.")
            .arg(made.nColumn)
            .arg(made.character, QString::fromLatin1(tsl::CodecName(m_pLink->Codec())));
    case SendLineBytes::Fault::None:
        break;
    }
    return text.arg(made.nColumn).arg(made.character);
}

bool CSendLine::Send()
{
    const QString text = m_pEditor->text();
    const SendLineBytes made = MakeSendLineBytes(text, Mode(), Ending(), m_pLink->Codec());
    if (made.fault != SendLineBytes::Fault::None) {
        Say(FaultText(made));
        // The cursor goes where the fault starts.
        m_pEditor->setCursorPosition(
            int(QString::fromStdU32String(text.toStdU32String().substr(0, size_t(made.nColumn - 1)))
                    .size()));
        QApplication::beep();
        return false;
    }
    if (made.bytes.isEmpty())
        return true;
    if (!m_pLink->IsOnline()) {
        Say(tr("연결되어 있지 않아 보내지 않았습니다. 먼저 포트를 여십시오."));
        return false;
    }
    // The text and its ending in one send: one datagram on UDP, never two writes.
    const int sent = m_pLink->Send(made.bytes);
    if (sent <= 0) {
        Say(tr("보내지 못했습니다: 링크가 받지 않았습니다."));
        return false;
    }
    // Other windows may have sent meanwhile: their lines stay in the list.
    MonitorSettings settings;
    m_history.Load(settings);
    m_history.Add(text);
    m_history.Save(settings);
    m_nWalk = m_history.Entries().value(0) == text ? 0 : -1;
    m_strDraft.clear();
    m_pEditor->selectAll();
    if (sent < made.bytes.size()) {
        Say(tr("%1바이트 중 %2바이트만 나갔습니다.").arg(made.bytes.size()).arg(sent));
        return false;
    }
    Say(QString());
    return true;
}

void CSendLine::Walk(int step)
{
    if (m_nWalk < 0) {
        // Lines other windows sent since count too.
        m_history.Load(MonitorSettings());
        m_strDraft = m_pEditor->text();
    }
    const int next = m_nWalk + step;
    if (next < -1 || next >= m_history.Entries().size())
        return;
    m_nWalk = next;
    m_pEditor->setText(next < 0 ? m_strDraft : m_history.Entries().at(next));
}

bool CSendLine::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_pEditor || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    // A combination with Alt no menu took is not text to send.
    if ((modifiers & (Qt::AltModifier | Qt::MetaModifier)) != 0)
        return true;
    if (modifiers == Qt::NoModifier) {
        switch (key->key()) {
        case Qt::Key_Up:
            Walk(1);
            return true;
        case Qt::Key_Down:
            Walk(-1);
            return true;
        case Qt::Key_Escape:
            emit leaveRequested();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
