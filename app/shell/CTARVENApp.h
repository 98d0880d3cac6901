#pragma once

#include "CDocTemplate.h"
#include "SearchHistory.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class QCommandLineParser;
class CDocManager;
class CDocument;
class CMainFrame;
class CSingleInstance;
class CSplashWnd;

// The program: one copy per user, its settings and document types, the main frame, and the
// commands that create and open documents.
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

    CTARVENApp();
    ~CTARVENApp() override;

    // The running program, for windows that need its histories or document types.
    static CTARVENApp* Instance() { return s_pInstance; }

    // Must run before the first widget exists.
    static void InstallFontSubstitutions();
    // Makes the script documents and their frames; installed once by the program before it
    // starts. Without them scripts open as plain documents in plain frames.
    static void SetScriptFactories(CDocTemplate::DocumentFactory makeDocument,
                                   CDocTemplate::FrameFactory makeFrame);
    // Loads a command file into the frame's command list. False only when the file cannot be
    // read, error then saying why; a damaged file is told to the user by the list itself.
    using CommandFileOpener =
        std::function<bool(CMainFrame& frame, const QString& path, QString* error)>;
    // Installed once by the program before it starts; without it command files open as
    // monitors do.
    static void SetCommandFileOpener(CommandFileOpener opener);
    // The program's own options and file arguments, single-dash words read as long options.
    static void AddCommandLineOptions(QCommandLineParser& parser);
    static CommandLineInfo ParseCommandLine(const QStringList& arguments);

    // Starts the program; false when this copy should end (another copy was raised).
    bool InitInstance(const QStringList& arguments);
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
    void RegisterDocTemplates();
    void ReadEditorVersion();
    void InitActionsConnections();
    void RaiseMainFrame(const QStringList& files);
    // Opens path, telling the user why when it cannot.
    void OpenAndReport(const QString& path);
    // A command file, and a command list to take it.
    static bool OpensInCommandList(const QString& path);

    static inline CTARVENApp* s_pInstance = nullptr;
    static inline CDocTemplate::DocumentFactory s_makeScriptDocument;
    static inline CDocTemplate::FrameFactory s_makeScriptFrame;
    static inline CommandFileOpener s_openCommandFile;

    std::unique_ptr<CSingleInstance> m_pSingleInstance;
    std::unique_ptr<CDocManager> m_pDocManager;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<CSplashWnd> m_pSplash;
};
