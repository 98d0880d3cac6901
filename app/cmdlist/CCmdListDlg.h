#pragma once

#include <QWidget>

#include <functional>

enum class CmdListCommand : int;
struct SendResult;
class CCmdListGrid;
class CRowRepeater;
class CSendTarget;
class QFrame;
class QLineEdit;

// The panel of the command list: the path of the current command file above the grid. It
// sends a row's text to the monitor window activated last, once or repeatedly, sends selected
// rows in order, and loads, saves and clears the list.
class CCmdListDlg : public QWidget
{
    Q_OBJECT

public:
    // Where a send goes, asked at each send: a window that has closed is never reached.
    using TargetSource = std::function<CSendTarget*()>;

    // Loads the command file used last once control is back in the event loop.
    explicit CCmdListDlg(TargetSource targetSource, QWidget* parent = nullptr);

    CCmdListGrid* Grid() const { return m_pGrid; }
    CRowRepeater* Repeater() const { return m_pRepeater; }
    QLineEdit* FileNameBox() const { return m_pFileName; }
    // The transmit text of the last send request.
    const QString& SendText() const { return m_strSendText; }

    // Translates text and sends its bytes on the target's link.
    void OnSendRequest(int row, const QString& text);
    // Starts the row's repeat on the target, or stops it.
    void OnRepeatToggled(int row);
    // Sends the selected rows in order to the target.
    void OnSendSequence();
    // Choose a command file in a dialog, then load or save it.
    void OnLoadList();
    void OnSaveList();
    void OnClearList();
    // True when the file was loaded or saved; the failures tell the user, except a file that
    // cannot be read at all, whose reason goes to unreadable. The rows' periods come from and
    // go to the side file; a side file that is missing or damaged loads as no periods, and
    // never stops the command file from loading.
    bool LoadFile(const QString& path, QString* unreadable = nullptr);
    bool SaveFile(const QString& path);

    // RootPath/Command, where command files live.
    static QString CommandFolder();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CSendTarget* Target() const;
    // Says why a row was not sent, when it was refused.
    void ShowRefused(int row, const SendResult& result);
    void OnCommand(CmdListCommand id);
    QString ChooseFile(bool saving);
    // Records path as the current command file, here and in the settings.
    void Remember(const QString& path);

    TargetSource m_targetSource;
    QLineEdit* m_pFileName = nullptr;
    QFrame* m_pGridFrame = nullptr;
    CCmdListGrid* m_pGrid = nullptr;
    CRowRepeater* m_pRepeater = nullptr;
    QString m_strSendText;
};
