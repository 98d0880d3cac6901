#include "LinkFailureMessage.h"

#include "MessageBox.h"
#include "SerialPortName.h"

#include <QCoreApplication>

namespace {

struct LinkFailureMessage
{
    Q_DECLARE_TR_FUNCTIONS(LinkFailureMessage)
};

} // namespace

void ShowLinkFailure(CMonitorLink::Failure failure, const LinkSettings& link, const QString& reason,
                     QWidget* parent)
{
    switch (failure) {
    case CMonitorLink::Failure::SerialOpen:
        // The reason tells a missing device from one the user may not open.
        ShowMessage(LinkFailureMessage::tr("통신포트 연결에 실패하였습니다. [%1]\n%2")
                        .arg(link.PortLabel(), reason),
                    QMessageBox::Warning, QMessageBox::Ok, parent);
        return;
    case CMonitorLink::Failure::SerialInUse:
        ShowMessage(LinkFailureMessage::tr("이미 다른 창에서 사용중인 포트입니다: %1")
                        .arg(SerialDevicePath(link.strPortName)),
                    QMessageBox::Warning, QMessageBox::Ok, parent);
        return;
    case CMonitorLink::Failure::SerialLocked:
        ShowMessage(LinkFailureMessage::tr("다른 프로그램이 사용중인 포트입니다: %1")
                        .arg(SerialDevicePath(link.strPortName)),
                    QMessageBox::Warning, QMessageBox::Ok, parent);
        return;
    case CMonitorLink::Failure::ServerPortInUse:
        ShowMessage(LinkFailureMessage::tr("이미 서버 서비스가 시작되었습니다."),
                    QMessageBox::Critical, QMessageBox::Ok, parent,
                    LinkFailureMessage::tr("SERVICE 오류..."));
        return;
    case CMonitorLink::Failure::ServerStart:
        ShowMessage(LinkFailureMessage::tr("서버 서비스를 시작할 수 없습니다. (port:%1)\n%2")
                        .arg(link.nServerPort)
                        .arg(reason),
                    QMessageBox::Critical, QMessageBox::Ok, parent,
                    LinkFailureMessage::tr("SERVICE 오류..."));
        return;
    case CMonitorLink::Failure::PortOutOfRange:
        ShowMessage(
            LinkFailureMessage::tr("포트 번호는 1부터 65535까지입니다. (port:%1)").arg(reason),
            QMessageBox::Warning, QMessageBox::Ok, parent);
        return;
    case CMonitorLink::Failure::UdpOpen:
        ShowMessage(LinkFailureMessage::tr("UDP 포트를 열 수 없습니다. (port:%1)\n%2")
                        .arg(link.nLocalPort)
                        .arg(reason),
                    QMessageBox::Warning, QMessageBox::Ok, parent);
        return;
    case CMonitorLink::Failure::ConnectTimeout:
    case CMonitorLink::Failure::ConnectRefused:
        ShowMessage(LinkFailureMessage::tr("Socket Client 접속실패 !!!") +
                        QStringLiteral("\n%1:%2: %3")
                            .arg(link.ServerAddressText())
                            .arg(link.nServerPort)
                            .arg(reason),
                    QMessageBox::Warning, QMessageBox::Ok, parent);
        return;
    }
}
