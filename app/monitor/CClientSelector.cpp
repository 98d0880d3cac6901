#include "CClientSelector.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

CClientSelector::CClientSelector(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("clientSelector"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pCount = new QLabel(this);
    m_pCount->setFrameShape(QFrame::Panel);
    m_pCount->setFrameShadow(QFrame::Sunken);
    m_pCombo = new QComboBox(this);
    m_pCombo->setObjectName(QStringLiteral("clientChoice"));
    m_pCombo->setToolTip(tr("입력, 명령, 파일을 보낼 클라이언트"));
    m_pCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // Keys typed stay with the terminal: the choice is made by mouse, or by Tab and the arrows.
    m_pCombo->setFocusPolicy(Qt::ClickFocus);
    layout->addWidget(m_pCount);
    layout->addWidget(m_pCombo);
    SetPeers({});
    connect(m_pCombo, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_bFilling)
            emit peerChosen(Selected());
    });
}

void CClientSelector::SetPeers(const std::vector<CMonitorLink::Peer>& peers)
{
    const int chosen = Selected();
    m_bFilling = true;
    m_pCombo->clear();
    m_pCombo->addItem(tr("모든 클라이언트"), -1);
    for (const CMonitorLink::Peer& peer : peers)
        m_pCombo->addItem(CMonitorLink::PeerText(peer), peer.nPeer);
    const int index = m_pCombo->findData(chosen);
    m_pCombo->setCurrentIndex(index >= 0 ? index : 0);
    m_bFilling = false;
    m_pCount->setText(tr("클라이언트 %1").arg(peers.size()));
}

void CClientSelector::Select(int peer)
{
    const int index = m_pCombo->findData(peer);
    m_bFilling = true;
    m_pCombo->setCurrentIndex(index >= 0 ? index : 0);
    m_bFilling = false;
}

int CClientSelector::Selected() const
{
    return m_pCombo->count() > 0 ? m_pCombo->currentData().toInt() : -1;
}

QString CClientSelector::CountText() const
{
    return m_pCount->text();
}
