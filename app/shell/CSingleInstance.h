#pragma once

#include <QLocalServer>
#include <QObject>

// Keeps one copy of the program per user: the first copy listens on a local socket, a later
// copy asks it to come forward and open the files it was given, and then ends.
class CSingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit CSingleInstance(QObject* parent = nullptr);

    // The per-user socket path: the runtime folder and "tarven-" plus the user id.
    static QString ServerName();

    // False when another copy answered and was asked to raise its window and open `files`
    // (relative names are taken from this copy's working folder): this copy should end. True
    // otherwise; the copy then listens for later ones if it can.
    bool Claim(const QStringList& files = {});
    bool IsListening() const { return m_server.isListening(); }

signals:
    // Absolute paths of the files the later copy was given; empty when it was given none.
    void activationRequested(const QStringList& files);

private:
    void OnNewConnection();
    bool AskRunningCopy(const QString& name, const QStringList& files);

    QLocalServer m_server;
};
