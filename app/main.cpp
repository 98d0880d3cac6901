// Entry point of the desktop program.
#include "CProgram.h"
#include "EnvSettings.h"
#include "ProgramLanguage.h"
#include "ShellConstants.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QLocale>
#include <QSettings>

namespace {

void NameApplication()
{
    QCoreApplication::setOrganizationName(kCompanyName);
    QCoreApplication::setApplicationName(kApplicationName);
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVEN_VERSION));
}

// The command line: help, version and the program's own options.
struct CommandLine
{
    CommandLine() { CTARVENApp::AddCommandLineOptions(parser); }

    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
};

// --lang, else the setting, else the system; before any window is made.
void ChooseLanguage(const QCommandLineParser& parser)
{
    QSettings settings(kCompanyName, kApplicationName);
    ProgramLanguage::Choose(parser.value(QStringLiteral("lang")),
                            EnvSettings::Load(settings).strLanguage, QLocale::system())
        .Apply();
}

// Answers --help and --version, which need no display, before the windowing system opens.
void AnswerWithoutWindows(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine line;
    line.parser.parse(arguments);
    if (!line.parser.isSet(line.help) && !line.parser.isSet(line.version))
        return;
    // Mistakes, and the windowing system's own options, are left for the check below.
    QCoreApplication core(argc, argv);
    NameApplication();
    if (line.parser.isSet(line.version))
        line.parser.showVersion();
    line.parser.showHelp();
}

} // namespace

int main(int argc, char** argv)
{
    AnswerWithoutWindows(argc, argv);
    QApplication application(argc, argv);
    NameApplication();
    // The windowing system has taken its own options (-platform, -style...); an unknown one
    // left over is a mistake, told on standard error.
    CommandLine line;
    line.parser.process(application);
    ChooseLanguage(line.parser);
    CTARVENApp::InstallFontSubstitutions();
    // A font name, kept in Korean: the substitution above maps it.
    QApplication::setFont(QFont(QStringLiteral("굴림"), 9));

    CProgram program;
    if (!program.Start(QApplication::arguments()))
        return 0;
    const int result = QApplication::exec();
    program.Exit();
    return result;
}
