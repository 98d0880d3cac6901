#pragma once

#include "LinkSettings.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;

// The port settings dialog ("통신포트 설정"): the kind of link (one choice for every kind there
// is), serial port and its line settings with flow control and reconnecting, the TCP role, port,
// peer address and welcome message, the UDP local port and remote. It shows the settings it is
// given and hands back what the user left; its caller stores them.
// Controls carry their dialog ids as object names.
class CPortSettingsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CPortSettingsDlg(const LinkSettings& settings, QWidget* parent = nullptr);

    // The values the controls show now.
    LinkSettings Settings() const;

    // Closes with OK only when the values are usable.
    void accept() override;

private:
    void CreateControls();
    void InitActionsConnections();
    void FillPortList();
    void ShowSettings(const LinkSettings& link);
    void SelectPort(const QString& portName);
    void ApplyInterfaceLayout();
    void ApplyRoleLayout();
    void OnWelcomeClicked();
    void OnPortSelected();

    QButtonGroup* m_pInterface = nullptr;
    QButtonGroup* m_pRole = nullptr;
    QListWidget* m_pPortList = nullptr;
    QLineEdit* m_pPortName = nullptr;
    QComboBox* m_pBaud = nullptr;
    QComboBox* m_pDataBits = nullptr;
    QComboBox* m_pParity = nullptr;
    QComboBox* m_pStopBits = nullptr;
    QComboBox* m_pFlowControl = nullptr;
    QCheckBox* m_pAutoReconnect = nullptr;
    QCheckBox* m_pClientReconnect = nullptr; // a TCP client's, stored apart
    QSpinBox* m_pServerPort = nullptr;
    QLineEdit* m_pServerIP = nullptr;
    uint32_t m_dwGivenServerIP = 0; // what a broken address hands back
    QLabel* m_pServerPortLabel = nullptr;
    QLabel* m_pServerIPLabel = nullptr;
    QSpinBox* m_pLocalPort = nullptr;
    QCheckBox* m_pWelcomeFlag = nullptr;
    QLineEdit* m_pWelcomeMsg = nullptr;
    QComboBox* m_pEnterKey = nullptr;
    bool m_bShowControlPanel = true;
};
