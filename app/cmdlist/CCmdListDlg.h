#pragma once

#include <QWidget>
#include <functional>

class CCmdListGrid;
class CSendTarget;
class QFrame;
class QLineEdit;

// The panel of the command list: the path of the current command file above the grid. It
// sends a row's text to the monitor window activated last, and loads, saves and clears the
// list.
class CCmdListDlg : public QWidget
{
    Q_OBJECT

public:
    // Where a send goes, asked at each send: a window that has closed is never reached.
    using TargetSource = std::function<CSendTarget*()>;

    // Loads the command file used last once control is back in the event loop.
    explicit CCmdListDlg(TargetSource targetSource, QWidget* parent = nullptr);

    CCmdListGrid* Grid() const { return m_pGrid; }
    QLineEdit* FileNameBox() const { return m_pFileName; }
    // The transmit text of the last send request.
    const QString& SendText() const { return m_strSendText; }

    // Translates text and sends its bytes on the target's link.
    void OnSendRequest(const QString& text);
    // Choose a command file in a dialog, then load or save it.
    void OnLoadList();
    void OnSaveList();
    void OnClearList();
    // True when the file was loaded or saved; the failures tell the user.
    bool LoadFile(const QString& path);
    bool SaveFile(const QString& path);

    // RootPath/Command, where command files live.
    static QString CommandFolder();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnCommand(int id);
    QString ChooseFile(bool saving);
    // Records path as the current command file, here and in the settings.
    void Remember(const QString& path);

    TargetSource m_targetSource;
    QLineEdit* m_pFileName = nullptr;
    QFrame* m_pGridFrame = nullptr;
    CCmdListGrid* m_pGrid = nullptr;
    QString m_strSendText;
};
