#include "CReplayBar.h"

#include "CCaptureReplay.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QToolButton>

namespace {

// A slider holds an int: longer replays move it in coarser steps.
constexpr qint64 kMaxSliderSteps = 1'000'000'000;

QString TimeText(qint64 ms)
{
    return QStringLiteral("%1:%2.%3")
        .arg(ms / 60'000, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

} // namespace

CReplayBar::CReplayBar(CCaptureReplay* replay, QWidget* parent)
    : QWidget(parent), m_pReplay(replay), m_pPlay(new QToolButton(this)),
      m_pSpeed(new QComboBox(this)), m_pSlider(new QSlider(Qt::Horizontal, this)),
      m_pTime(new QLabel(this)), m_pNotice(new QLabel(this)), m_pLength(new QProgressBar(this))
{
    setObjectName(QStringLiteral("ReplayBar"));
    m_pPlay->setObjectName(QStringLiteral("ReplayPlay"));
    m_pSpeed->setObjectName(QStringLiteral("ReplaySpeed"));
    m_pSlider->setObjectName(QStringLiteral("ReplayPosition"));
    m_pNotice->setObjectName(QStringLiteral("ReplayNotice"));
    m_pLength->setObjectName(QStringLiteral("ReplayLengthProgress"));
    m_pLength->setRange(0, 1000);
    m_pLength->setFormat(tr("길이 읽는 중 %p%"));
    m_pSpeed->addItems({QStringLiteral("×1"), QStringLiteral("×10"), tr("최대")});
    // The position is set when the user lets go, not at every step of a drag: going back
    // replays from the start.
    m_pSlider->setTracking(false);
    m_pNotice->setStyleSheet(QStringLiteral("color: #b00000"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_pPlay);
    layout->addWidget(m_pSpeed);
    layout->addWidget(m_pSlider, 1);
    layout->addWidget(m_pTime);
    layout->addWidget(m_pLength);
    layout->addWidget(m_pNotice);
    connect(m_pPlay, &QToolButton::clicked, this, &CReplayBar::OnPlay);
    connect(m_pSpeed, &QComboBox::currentIndexChanged, this, &CReplayBar::OnSpeed);
    connect(m_pSlider, &QSlider::valueChanged, this, &CReplayBar::OnSliderValue);
    connect(m_pReplay, &CCaptureReplay::positionChanged, this, &CReplayBar::ShowPosition);
    connect(m_pReplay, &CCaptureReplay::stateChanged, this, &CReplayBar::ShowState);
    connect(m_pReplay, &CCaptureReplay::finished, this, &CReplayBar::OnFinished);
    // Shown only while a file takes a while to read: a small one never flashes it.
    connect(m_pReplay, &CCaptureReplay::lengthProgress, this, [this](int permille) {
        m_pLength->setValue(permille);
        m_pLength->setVisible(!m_pReplay->IsDurationKnown());
    });
    connect(m_pReplay, &CCaptureReplay::durationKnown, this, &CReplayBar::ShowLength);
    Reset();
}

void CReplayBar::Reset()
{
    m_pNotice->clear();
    m_pLength->setValue(m_pReplay->LengthPermille());
    m_pLength->hide();
    ShowLength();
    ShowState();
}

void CReplayBar::ShowLength()
{
    const bool known = m_pReplay->IsDurationKnown();
    m_nScale = std::max<qint64>(1, m_pReplay->Duration() / kMaxSliderSteps + 1);
    m_bShowing = true;
    m_pSlider->setRange(0, static_cast<int>(m_pReplay->Duration() / m_nScale));
    m_pSlider->setPageStep(std::max(1, m_pSlider->maximum() / 10));
    m_bShowing = false;
    m_pSlider->setEnabled(known);
    if (known)
        m_pLength->hide();
    ShowPosition(m_pReplay->Position());
}

void CReplayBar::OnPlay()
{
    if (m_pReplay->IsPlaying()) {
        m_pReplay->Pause();
        return;
    }
    m_pNotice->clear();
    m_pReplay->Play();
}

void CReplayBar::OnSpeed(int index)
{
    static constexpr CCaptureReplay::Speed kSpeeds[] = {
        CCaptureReplay::Speed::Normal, CCaptureReplay::Speed::Ten, CCaptureReplay::Speed::Max};
    if (index >= 0 && index < static_cast<int>(std::size(kSpeeds)))
        m_pReplay->SetSpeed(kSpeeds[index]);
}

void CReplayBar::OnSliderValue(int value)
{
    if (!m_bShowing)
        m_pReplay->Seek(static_cast<qint64>(value) * m_nScale);
}

void CReplayBar::ShowPosition(qint64 ms)
{
    const QString length = m_pReplay->IsDurationKnown() ? TimeText(m_pReplay->Duration())
                                                        : QStringLiteral("--:--.---");
    m_pTime->setText(QStringLiteral("%1 / %2").arg(TimeText(ms), length));
    if (m_pSlider->isSliderDown())
        return;
    m_bShowing = true;
    m_pSlider->setValue(static_cast<int>(ms / m_nScale));
    m_bShowing = false;
}

void CReplayBar::ShowState()
{
    m_pPlay->setText(m_pReplay->IsPlaying() ? tr("일시정지") : tr("재생"));
}

void CReplayBar::OnFinished()
{
    const int skipped = m_pReplay->SkippedCount();
    if (skipped == 0)
        return;
    QString text = tr("손상된 기록 %1개를 건너뛰었습니다").arg(skipped);
    if (m_pReplay->ValidEnd() < m_pReplay->FileSize())
        text += tr(" (%1 바이트 중 %2 바이트까지 재생)")
                    .arg(m_pReplay->FileSize())
                    .arg(m_pReplay->ValidEnd());
    m_pNotice->setText(text);
}
