// Entry point of the desktop program.
#include "CCmdListBar.h"
#include "CMonitorWindow.h"
#include "CScriptChildFrame.h"
#include "CTARVENApp.h"
#include "ShellConstants.h"

#include <QApplication>
#include <QFont>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(kCompanyName);
    QApplication::setApplicationName(kApplicationName);
    QApplication::setApplicationDisplayName(QStringLiteral("TARVEN"));
    QApplication::setApplicationVersion(QStringLiteral(TARVEN_VERSION));
    CTARVENApp::InstallFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("굴림"), 9));

    InstallMonitor();
    InstallCmdList();
    InstallScriptEditor();
    CTARVENApp app;
    if (!app.InitInstance(QApplication::arguments()))
        return 0;
    const int result = QApplication::exec();
    app.ExitInstance();
    return result;
}
