#pragma once

#include <QObject>
#include <QString>

class CDocTemplate;
class CMdiChildFrame;

// A document shown in one child frame: its title, its file and its type.
class CDocument : public QObject
{
    Q_OBJECT

public:
    CDocument() = default;
    ~CDocument() override;

    CDocTemplate* Template() const { return m_pTemplate; }
    CMdiChildFrame* Frame() const { return m_pFrame; }

    QString Title() const { return m_title; }
    virtual void SetTitle(const QString& title);
    QString PathName() const { return m_pathName; }
    void SetPathName(const QString& path);

    // Prepare a new, untitled document; false refuses it.
    virtual bool OnNewDocument() { return true; }
    // Open the file at path; false when it cannot be read.
    virtual bool OnOpenDocument(const QString& path);
    // Why the last open failed, in the system's words; empty when it did not say.
    QString OpenError() const { return m_openError; }

signals:
    void titleChanged(const QString& title);

protected:
    void SetOpenError(const QString& error) { m_openError = error; }

private:
    friend class CDocTemplate;

    CDocTemplate* m_pTemplate = nullptr;
    CMdiChildFrame* m_pFrame = nullptr;
    QString m_title;
    QString m_pathName;
    QString m_openError;
};
