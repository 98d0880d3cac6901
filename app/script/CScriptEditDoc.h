#pragma once

#include "CDocument.h"
#include "ScriptFile.h"

#include <optional>

class CRecentFileList;
class CScriptEditView;

// Script document: a TSL file, the encoding it is saved in, and whether it changed since it
// was last saved. Its title (the file's path, or "Script%d") is reported, and the script's
// output page is keyed on it.
class CScriptEditDoc : public CDocument
{
    Q_OBJECT

public:
    // A path the document is saved to under a new name goes to recentFiles, when given.
    explicit CScriptEditDoc(CRecentFileList* recentFiles = nullptr) : m_pRecentFiles(recentFiles) {}

    // Reads the file before a window opens for it, so a file that cannot be read opens none.
    bool OnOpenDocument(const QString& path) override;
    // The title becomes the path when there is one.
    void SetTitle(const QString& title) override;

    // The view shows the document: the file that was opened, or the template of a new script.
    void AttachView(CScriptEditView* view);
    CScriptEditView* View() const { return m_pView; }

    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified);
    tsl::ScriptEncoding Encoding() const { return m_encoding; }

    // How far a run has come (0..100), shown in the progress pane.
    int Progress() const { return m_nProgress; }
    void SetProgress(int progress) { m_nProgress = progress; }
    // The running pane's blink counter (0..19); it advances on each update while running.
    int RunFrame() const { return m_nRunFrame; }
    void SetRunFrame(int frame) { m_nRunFrame = frame; }

    // Writes the script to path. When the file's encoding cannot hold a character the user
    // chooses UTF-8 or no save; a failed write is reported. False when nothing was written.
    bool OnSaveDocument(const QString& path);
    // Save (asks for a path when there is none yet) and save as; false when nothing was saved.
    bool OnFileSave();
    bool OnFileSaveAs();
    // Asks whether to save a changed script before it closes; false stops the closing.
    bool SaveModified();
    // The window closes: its title is reported gone.
    void OnCloseDocument();

signals:
    void modifiedChanged(bool modified);
    // The title reported for the script's output page; a new one comes before the old one goes,
    // so a script always has its page.
    void titleAdded(const QString& title);
    void titleRemoved(const QString& title);

private:
    // Asks for a path, starting from proposed (a name or a folder), and saves there.
    bool SaveAs(const QString& proposed);
    // Saves to path and takes it as the document's path.
    bool DoSave(const QString& path);
    QString AskSavePath(const QString& proposed) const;
    // The encoding cannot hold the character at offset of text: save as UTF-8 instead?
    bool AskSaveAsUtf8(const QString& path, const QByteArray& text, qsizetype offset) const;
    CRecentFileList* m_pRecentFiles = nullptr;
    CScriptEditView* m_pView = nullptr;
    // What OnOpenDocument read, until the view shows it.
    std::optional<ScriptFileText> m_opened;
    tsl::ScriptEncoding m_encoding = tsl::ScriptEncoding::Utf8;
    bool m_bModified = false;
    int m_nProgress = 0;
    int m_nRunFrame = 0;
    QString m_strReportedTitle;
};
