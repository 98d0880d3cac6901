// Takes the documentation's picture of a script run: the editor, the script's output page after
// the run started, and its watch window with the lines the script printed.
#include "CDocument.h"
#include "CMainFrame.h"
#include "CMdiChildFrame.h"
#include "CScriptChildFrame.h"
#include "CScriptEditCtrl.h"
#include "CScriptEditView.h"
#include "CScriptWatchDlg.h"
#include "CSizingControlBar.h"
#include "CTARVENApp.h"
#include "CTextViewCtrl.h"
#include "script_on_device.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <cstdio>

namespace {

// The device: answers each request with a temperature reading.
const QByteArray kReply = "T=23.5C";

const char kScript[] = R"(//------------------------------------------------
// TARVEN Script File
// 2026/12/07  온도 센서 점검 (TCP)
//------------------------------------------------
OPEN MEDIA		TCP
OPEN IP			127.0.0.1
OPEN PORT		%1

DIM REPLY$		64			// 장비의 응답
VAR N%			0
VAR COUNT%		0
EQU ASK			"TEMP?<0D><0A>"

//------------------------------------------------
BEGIN:
	OUT			ASK			// 온도를 묻는다
	SLEEP		100
	IN			REPLY, N
	CMP			N, 0
	JPE			END			// 응답이 없으면 다음 회
	INC			COUNT
	PRINT		COUNT
	PRINT		": "
	PRINT		REPLY		// 실행창에 보인다
	PRINTEX		"<0D><0A>"
END:
)";

} // namespace

int main(int argc, char** argv)
{
    ProgramSandbox sandbox;
    QApplication app(argc, argv);
    const QString folder = ProgramSandbox::OutputFolder(argc, argv);

    QTcpServer device;
    CProgram program;
    CScriptEditView* view = OpenScriptOnDevice(sandbox, program, device, kReply,
                                               QStringLiteral("sensor_tcp.tsl"), kScript);
    if (view == nullptr)
        return 1;
    CMainFrame* frame = program.App().MainFrame();
    view->OnScriptRun();
    if (!view->IsRunning())
        return 1;
    ProgramSandbox::Pump(1500);
    CScriptWatchDlg* watch = view->WatchDialog();
    watch->move(frame->geometry().topLeft() + QPoint(frame->width() - watch->width() - 40, 140));
    ProgramSandbox::Pump(300);

    const QPixmap picture = ProgramSandbox::GrabWithWindow(frame, watch);
    view->OnScriptStop();
    return ProgramSandbox::SavePicture(picture, folder, QStringLiteral("script-run.png"));
}
