#pragma once

#include "CDocument.h"
#include "CMainFrame.h"
#include "CMdiChildFrame.h"
#include "CScriptEditView.h"
#include "CSizingControlBar.h"
#include "CTARVENApp.h"
#include "program_sandbox.h"

#include <QTcpServer>

// A TCP script for the documentation's pictures, open in the program with its device: `script`
// names the device's port as %1, and the device answers each request with `reply`. The program
// is shown 1024x768 with the output bar; the script's view, or null when any step failed.
inline CScriptEditView* OpenScriptOnDevice(ProgramSandbox& sandbox, CProgram& program,
                                           QTcpServer& device, const QByteArray& reply,
                                           const QString& name, const char* script)
{
    const quint16 port = ProgramSandbox::AnswerEachRequest(device, reply);
    if (port == 0)
        return nullptr;
    const QString path = sandbox.WriteScript(name, QString::fromUtf8(script).arg(port).toUtf8());
    if (path.isEmpty())
        return nullptr;
    CDocument* document = ProgramSandbox::StartAndOpen(program, path, QSize(1024, 768));
    if (document == nullptr)
        return nullptr;
    program.App().MainFrame()->ScriptOutputBar()->show();
    return document->Frame()->findChild<CScriptEditView*>();
}
