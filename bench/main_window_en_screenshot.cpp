// Takes the documentation's picture of the main window in English: the whole program, its
// bars docked, with one monitor window serving a device over TCP that has exchanged a few
// lines. No menu is open.
#include "CCmdListBar.h"
#include "CMonitorWindow.h"
#include "CScriptChildFrame.h"
#include "CTARVENView.h"
#include "ProgramLanguage.h"
#include "monitor_session.h"
#include "program_sandbox.h"

#include <QDialog>
#include <QLocale>
#include <QTcpSocket>
#include <QTimer>

int main(int argc, char** argv)
{
    ProgramSandbox sandbox;
    QApplication app(argc, argv);
    // As tarven --lang en chooses it.
    ProgramLanguage::Choose(QStringLiteral("en"), QString(), QLocale::system()).Apply();
    const QString folder = ProgramSandbox::OutputFolder(argc, argv);
    const quint16 port = ProgramSandbox::ServeOnFreePort();

    // The start-up port settings dialog is confirmed as it stands.
    QTimer confirm;
    ConfirmDialogs(confirm);

    CProgram program;
    CTARVENApp& tarven = program.App();
    if (!ProgramSandbox::Start(program))
        return 2;
    CMainFrame* frame = tarven.MainFrame();
    frame->resize(1024, 768);
    CDocument* document = tarven.OnFileNew(QStringLiteral("Tvn"));
    ProgramSandbox::Pump(300);
    confirm.stop();
    auto* view = document->Frame()->findChild<CTARVENView*>();
    view->OnControlView();
    view->OnPortOpen();

    QTcpSocket device;
    device.connectToHost(QHostAddress::LocalHost, port);
    if (!device.waitForConnected(5000))
        return 2;
    ProgramSandbox::Pump(200);
    const SessionLine session[] = {
        {true, "AT+STATUS\r\n"},
        {false, "\x02STATUS OK temp 21.5 pressure normal\x03\r\n"},
        {true, "AT+READ 3\r\n"},
        {false, "\x02"
                "DATA\t0012\t0034\t0056\x03\x06\r\n"},
        {true, "AT+ALARM?\r\n"},
        {false, "ALARM: sensor #2 not answering\r\n"},
    };
    PlaySession(*view, device, session);
    ProgramSandbox::Pump(300);
    return ProgramSandbox::SavePicture(frame->grab(), folder, QStringLiteral("main-window-en.png"));
}
