#pragma once

#include "CDocTemplate.h"
#include "CMainFrame.h"
#include "SearchHistory.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class QCommandLineParser;
class CDocManager;
class CDocument;
class CSingleInstance;
class CSplashWnd;

// The application: one copy per user, its settings and document types, the main frame, and the
// commands that create and open documents. The windows of the document types and the bars come
// from the program that starts it.
class CTARVENApp : public QObject
{
    Q_OBJECT

public:
    // What the command line asks for.
    struct CommandLineInfo
    {
        bool bShowSplash = true;
        QStringList files;
    };

    // The windows of the document types, made by the program; a type left out opens plain
    // documents in plain frames.
    struct DocumentTypes
    {
        CDocTemplate::FrameFactory makeMonitorFrame;
        CDocTemplate::DocumentFactory makeScriptDocument;
        CDocTemplate::FrameFactory makeScriptFrame;
    };
    // Loads a command file into the command list. False only when the file cannot be read,
    // error then saying why; a damaged file is told to the user by the list itself.
    using CommandFileOpener = std::function<bool(const QString& path, QString* error)>;

    CTARVENApp();
    ~CTARVENApp() override;

    // Must run before the first widget exists.
    static void InstallFontSubstitutions();
    // The program's own options and file arguments, single-dash words read as long options.
    static void AddCommandLineOptions(QCommandLineParser& parser);
    static CommandLineInfo ParseCommandLine(const QStringList& arguments);

    // Starts the shell on its own, with plain document windows and empty bars; false when this
    // copy should end (another copy was raised).
    bool InitInstance(const QStringList& arguments);

    // Start-up in steps, in this order, for the program that builds its parts between them.
    // Hands the files over to a copy that runs already (false: this copy should end); else
    // reads what the windows share.
    bool ClaimInstance(const CommandLineInfo& info);
    // The main frame, carrying bars.
    CMainFrame& CreateMainFrame(DockingBars bars);
    void RegisterDocTemplates(DocumentTypes types);
    // Command files opened outside the list go to opener; without one they open as monitors.
    void SetCommandFileOpener(CommandFileOpener opener);
    // Opens the command line's files and shows the main frame.
    void Start(const CommandLineInfo& info);
    // Saves what is kept between runs; called once when the program ends.
    void ExitInstance();

    CDocument* OnFileNew(const QString& docName);
    void OnFileOpen();
    // Opens path as a script when its extension is "TSL" (any case), else as a monitor. Null
    // when it cannot; error then says why, when the document knows.
    CDocument* OpenDocumentFile(const QString& path, QString* error = nullptr);
    // Opens path as the user asked for it: a command file (extension "TCF", any case) into the
    // command list, anything else as a document. False when it cannot, error then saying why
    // when that is known.
    bool OpenFile(const QString& path, QString* error = nullptr);
    void OnAppAbout();

    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
    CSplashWnd* SplashWnd() const { return m_pSplash.get(); }
    const CDocManager& DocManager() const { return *m_pDocManager; }
    CSingleInstance& SingleInstance() const { return *m_pSingleInstance; }

    // Version, file path and product name of the script editor's library.
    QString m_strEditorVersion;
    QString m_strEditorPath;
    QString m_strEditorProduct;
    SearchHistory m_history;

private:
    void ReadEditorVersion();
    void InitActionsConnections();
    void RaiseMainFrame(const QStringList& files);
    // Opens path, telling the user why when it cannot.
    void OpenAndReport(const QString& path);
    // A command file, and a command list to take it.
    bool OpensInCommandList(const QString& path) const;

    CommandFileOpener m_openCommandFile;
    std::unique_ptr<CSingleInstance> m_pSingleInstance;
    std::unique_ptr<CDocManager> m_pDocManager;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<CSplashWnd> m_pSplash;
};
