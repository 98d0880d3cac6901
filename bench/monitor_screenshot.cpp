// Takes the documentation's pictures of a monitor window: the program with one monitor
// serving a device over TCP, its traffic shown as text with control codes, then as hex, then
// searched in its find bar; then a
// serial monitor on a pseudo-terminal with the arrival times shown (a pseudo-terminal has no
// modem lines, so the line indicators are greyed).
#include "CDocument.h"
#include "CFindBar.h"
#include "CMainFrame.h"
#include "CMdiChildFrame.h"
#include "CMonitorWindow.h"
#include "CTARVENApp.h"
#include "CTARVENView.h"
#include "ShellConstants.h"
#include "monitor_session.h"
#include "program_sandbox.h"
#include "raw_pty.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QSettings>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

bool Save(QWidget& window, const QString& path)
{
    ProgramSandbox::Pump(300);
    if (window.grab().save(path))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// A serial monitor on a pseudo-terminal, time stamps on, that polls a device now and then.
bool SaveLinesPicture(CTARVENApp& tarven, QTimer& confirm, const QString& path)
{
    RawPty pty;
    if (!pty.IsOpen())
        return false;
    {
        QSettings settings(kCompanyName, kApplicationName);
        settings.setValue("TARVEN/Interface", 0);
        settings.setValue("TARVEN/PortName", pty.SlavePath());
    }
    confirm.start(20);
    CDocument* document = tarven.OnFileNew(QStringLiteral("Tvn"));
    ProgramSandbox::Pump(300);
    confirm.stop();
    document->Frame()->showMaximized();
    auto* view = document->Frame()->findChild<CTARVENView*>();
    view->OnPortOpen();
    view->OnTimeStamps();
    // Replies come in pieces: the pieces of one reply arrive within the gap and share a time.
    const QByteArray replies[][2] = {
        {"$GPRMC,094501.00,A,3733.", "72,N,12658.97,E*6A\r\n"},
        {"TEMP 21.5 C\r\n", ""},
        {"STATUS OK ", "pressure 1013 hPa\r\n"},
        {"ERR 04 sensor #2 timeout\r\n", ""},
        {"TEMP 21.6 C\r\n", ""},
    };
    for (const auto& reply : replies) {
        for (const QByteArray& piece : reply) {
            if (!piece.isEmpty() &&
                ::write(pty.Master(), piece.constData(), size_t(piece.size())) < 0)
                return false;
            ProgramSandbox::Pump(5);
        }
        ProgramSandbox::Pump(120);
    }
    return Save(*tarven.MainFrame(), path);
}

} // namespace

int main(int argc, char** argv)
{
    ProgramSandbox sandbox;
    QApplication app(argc, argv);
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
    CDocument* document = tarven.OnFileNew(QStringLiteral("Tvn"));
    ProgramSandbox::Pump(300);
    document->Frame()->showMaximized();
    auto* view = document->Frame()->findChild<CTARVENView*>();
    view->OnControlView();
    view->OnPortOpen();

    QTcpSocket device;
    device.connectToHost(QHostAddress::LocalHost, port);
    device.waitForConnected(5000);
    ProgramSandbox::Pump(200);
    const SessionLine session[] = {
        {true, "AT+STATUS\r\n"},
        {false, "\x02STATUS OK 온도 21.5 압력 정상\x03\r\n"},
        {true, "AT+READ 3\r\n"},
        {false, "\x02"
                "DATA\t0012\t0034\t0056\x03\x06\r\n"},
        {true, "AT+ALARM?\r\n"},
        {false, "\x1B[1m\x07 경보: 센서 #2 응답 없음\x1B[0m\r\n"},
    };
    PlaySession(*view, device, session);
    if (!Save(*frame, QDir(folder).filePath(QStringLiteral("monitor-text.png"))))
        return 1;
    view->OnHexView();
    if (!Save(*frame, QDir(folder).filePath(QStringLiteral("monitor-hex.png"))))
        return 1;
    // Back to text, searching for a word the traffic holds twice.
    view->OnAsciiView();
    CFindBar* find = qobject_cast<CMonitorWindow*>(view->parentWidget())->FindBar();
    find->Open();
    find->Field()->setText(QStringLiteral("STATUS"));
    find->FindNext(true);
    if (!Save(*frame, QDir(folder).filePath(QStringLiteral("monitor-search.png"))))
        return 1;
    find->Close();
    if (!SaveLinesPicture(tarven, confirm,
                          QDir(folder).filePath(QStringLiteral("monitor-lines.png"))))
        return 1;
    std::printf("pictures written to %s\n", qPrintable(folder));
    return 0;
}
