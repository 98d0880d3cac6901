#pragma once

#include <QLocalServer>
#include <QObject>

// Keeps one copy of the program per user: the first copy listens on a local socket, a later
// copy asks it to come forward and then ends.
class CSingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit CSingleInstance(QObject* parent = nullptr);

    // The per-user socket path: the runtime folder and "tarven-" plus the user id.
    static QString ServerName();

    // False when another copy answered and was asked to raise its window: this copy should
    // end. True otherwise; the copy then listens for later ones if it can.
    bool Claim();
    bool IsListening() const { return m_server.isListening(); }

signals:
    void activationRequested();

private:
    void OnNewConnection();
    bool AskRunningCopy(const QString& name);

    QLocalServer m_server;
};
