// Takes the documentation's picture of the script editor: a highlighted script in the program,
// a match selected and the find and replace dialog over it.
#include "CDocument.h"
#include "CFindReplaceDlg.h"
#include "CMainFrame.h"
#include "CMdiChildFrame.h"
#include "CScriptChildFrame.h"
#include "CScriptEditCtrl.h"
#include "CScriptEditView.h"
#include "CTARVENApp.h"
#include "ScriptConstants.h"
#include "program_sandbox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <cstdio>

namespace {

const char kScript[] = R"(//------------------------------------------------
// TARVEN Script File
// 2007/03/05  온도 센서 점검
//------------------------------------------------
OPEN MEDIA		RS232C		// RS232C, TCP, UDP ...
OPEN PORT		COM1		// 센서가 붙은 포트
OPEN BAUD_RATE	9600
OPEN PARITY_BIT	NONE
OPEN DATA_BIT	8
OPEN STOP_BIT	1

DIM REPLY$		64			// 장비의 응답
VAR N%			0
VAR TRIES%		0
EQU ASK			"<02>TEMP?<03>"
EQU OK			"<02>OK"

//------------------------------------------------
BEGIN:
	OUT			ASK			// 온도를 묻는다
	SLEEP		200
	IN			REPLY, N
	CMP			N, 0
	JPE			RETRY		// 응답이 없으면 다시
	FIND		REPLY, OK
	JPNE		FAIL
	PRINTEX		REPLY		// 실행창에 보인다
	JP			END
RETRY:
	INC			TRIES
	CMP			TRIES, 3
	JPL			BEGIN
FAIL:
	PRINT		"센서 응답 없음<0D><0A>"
	SYNC		1
END:
)";

} // namespace

int main(int argc, char** argv)
{
    ProgramSandbox sandbox;
    QApplication app(argc, argv);
    const QString folder = ProgramSandbox::OutputFolder(argc, argv);

    const QString path = sandbox.WriteScript(QStringLiteral("temp_check.tsl"), kScript);
    if (path.isEmpty())
        return 1;

    CProgram program;
    CTARVENApp& tarven = program.App();
    CDocument* document = ProgramSandbox::StartAndOpen(program, path, QSize(1024, 768));
    if (document == nullptr)
        return 1;
    CMainFrame* frame = tarven.MainFrame();
    auto* view = document->Frame()->findChild<CScriptEditView*>();
    // The search stands on the port name.
    const QByteArray text = view->Edit()->GetText();
    view->Edit()->SelectBytes(text.indexOf("COM1"), 4);
    view->OnEditReplace();
    CFindDlg* dialog = view->FindDialog();
    dialog->findChild<QComboBox*>(QString::number(IDC_FIND_REPLACE_TEXT))
        ->setEditText(QStringLiteral("COM3"));
    ProgramSandbox::Pump(300);
    dialog->move(frame->geometry().topLeft() + QPoint(frame->width() - dialog->width() - 40, 150));
    ProgramSandbox::Pump(300);

    return ProgramSandbox::SavePicture(ProgramSandbox::GrabWithWindow(frame, dialog), folder,
                                       QStringLiteral("script-editor.png"));
}
