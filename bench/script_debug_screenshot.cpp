// Takes the documentation's picture of the debugger: a script stopped at a breakpoint inside
// its loop, its line marked, and the variable pane with what the device sent.
#include "CDocument.h"
#include "CMainFrame.h"
#include "CMdiChildFrame.h"
#include "CScriptChildFrame.h"
#include "CScriptEditCtrl.h"
#include "CScriptEditView.h"
#include "CScriptWatchDlg.h"
#include "CSizingControlBar.h"
#include "CTARVENApp.h"
#include "script_on_device.h"

#include <QApplication>

namespace {

// The device: answers each request with a reading, a frame with a checksum byte.
const QByteArray kReply("\x02T=23.5C\x1B\r\n", 11);

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
VAR SENT%		0
EQU ASK			"TEMP?<0D><0A>"

//------------------------------------------------
BEGIN:
	CMP			SENT, 0
	JPNE		LISTEN
	OUT			ASK			// 온도를 묻는다
	MOVE		SENT, 1
LISTEN:
	IN			REPLY, N
	CMP			N, 0
	JPE			END			// 응답이 없으면 다음 회
	INC			COUNT
	PRINT		REPLY		// 실행창에 보인다
	MOVE		SENT, 0
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
                                               QStringLiteral("sensor_debug.tsl"), kScript);
    if (view == nullptr)
        return 1;
    CMainFrame* frame = program.App().MainFrame();
    // Breakpoints where the question goes out (19) and where the answer is printed (26).
    view->Edit()->SetBreakpoints({19, 26});
    view->OnScriptContinue();
    if (!view->IsRunning())
        return 1;
    // Stopped before the question; going on sends it, and the answer stops the next pass.
    ProgramSandbox::Pump(1000);
    if (!view->IsPaused())
        return 1;
    view->OnScriptContinue();
    ProgramSandbox::Pump(1000);
    if (!view->IsPaused())
        return 1;
    // The watch window stays out of the way of the marked line.
    if (CScriptWatchDlg* watch = view->WatchDialog())
        watch->hide();
    ProgramSandbox::Pump(300);
    const QPixmap picture = frame->grab();
    view->OnScriptStop();
    return ProgramSandbox::SavePicture(picture, folder, QStringLiteral("script-debug.png"));
}
