#pragma once

#include "CMonitorLink.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QLabel;

// The clients of a server window in its status bar: how many are connected ("클라이언트 3"),
// and a choice of where typed keys, command rows and files go: "모든 클라이언트", or one
// client by "[N] address:port".
class CClientSelector : public QWidget
{
    Q_OBJECT

public:
    explicit CClientSelector(QWidget* parent = nullptr);

    // The clients connected now; the choice stays when its client is still among them.
    void SetPeers(const std::vector<CMonitorLink::Peer>& peers);
    // Shows the choice (-1: every client) without telling it back.
    void Select(int peer);
    int Selected() const;
    QString CountText() const;
    QComboBox* Combo() const { return m_pCombo; }

signals:
    // The user chose a client, or every client (-1).
    void peerChosen(int peer);

private:
    QLabel* m_pCount = nullptr;
    QComboBox* m_pCombo = nullptr;
    bool m_bFilling = false;
};
