#pragma once

#include "CCaptureReader.h"

#include <QObject>
#include <QString>

class CTextViewCtrl;
class QWidget;

// The capture files of a monitor window: the one its terminal view records the traffic into,
// and the one it shows. The terminal view does the reading and writing; this keeps which file,
// asks for names, and tells the user what went wrong.
class CCaptureSession : public QObject
{
    Q_OBJECT

public:
    // Dialogs and messages open over parent.
    CCaptureSession(CTextViewCtrl* textView, QWidget* parent);

    // The folder capture files go to, made when missing.
    static QString Folder();

    // Starts recording, or stops the recording under way. A new file is named after title
    // when byTitle, else the user is asked for a name.
    void Toggle(bool byTitle, const QString& title);
    bool IsCapturing() const { return m_bCapturing; }

    // Asks for a capture file and shows it (not while recording).
    void Choose();
    // Shows a capture file in the terminal view and tells the user why when it cannot; the
    // terminal view's result (0 shown; 1 a big file being read, shown when it is done).
    int Show(const QString& path);
    // The capture file last shown; empty when none.
    const QString& Shown() const { return m_strShown; }
    // Why a capture file at path cannot be shown or replayed, in the user's words.
    static QString ErrorText(CaptureStatus status, const QString& path);

signals:
    // Recording started or stopped.
    void stateChanged();
    // A capture file is in the terminal view now.
    void shown();

private:
    void OnFailed(const QString& message);

    CTextViewCtrl* m_pTextView;
    QWidget* m_pParent;
    bool m_bCapturing = false;
    QString m_strShown;
};
