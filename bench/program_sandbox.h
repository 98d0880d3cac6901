#pragma once

// Shared by the benchmarks and picture takers that run the whole program: settings, runtime
// folder and fonts of their own, set up as the program does before its first window.

#include "CDocument.h"
#include "CMainFrame.h"
#include "CMdiChildFrame.h"
#include "CProgram.h"
#include "ShellConstants.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QHostAddress>
#include <QPainter>
#include <QPixmap>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <cstdio>

// Made before the QApplication; everything it points at goes with it.
class ProgramSandbox
{
public:
    ProgramSandbox()
    {
        qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_dir.filePath(QStringLiteral("config")));
        CTARVENApp::InstallFontSubstitutions();
    }
    ProgramSandbox(const ProgramSandbox&) = delete;
    ProgramSandbox& operator=(const ProgramSandbox&) = delete;

    QString Path(const QString& name) const { return m_dir.filePath(name); }

    // Starts the program as the command line does, without its splash window, in its font.
    static bool Start(CProgram& program)
    {
        QApplication::setFont(QFont(QStringLiteral("굴림"), 9));
        return program.Start({QStringLiteral("tarven"), QStringLiteral("--nosplash")});
    }

    // Where a picture taker writes: the folder its first argument names, else this one.
    static QString OutputFolder(int argc, char** argv)
    {
        return argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    }

    // Makes new monitor windows TCP servers on the first port from the default on that is free
    // (the settings dialog takes ports up to 10000); that port.
    static quint16 ServeOnFreePort()
    {
        quint16 port = 4096;
        for (QTcpServer probe; !probe.listen(QHostAddress::Any, port); ++port) {
        }
        QSettings settings(kCompanyName, kApplicationName);
        settings.setValue("TARVEN/Interface", 1);
        settings.setValue("TARVEN/Active", 1);
        settings.setValue("TARVEN/ServerPort", port);
        return port;
    }

    // A device on 127.0.0.1 that answers each request of each client with reply; its port, 0
    // when it cannot listen.
    static quint16 AnswerEachRequest(QTcpServer& device, const QByteArray& reply)
    {
        if (!device.listen(QHostAddress::LocalHost, 0))
            return 0;
        QObject::connect(&device, &QTcpServer::newConnection, &device, [&device, reply] {
            QTcpSocket* peer = device.nextPendingConnection();
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [peer, reply] {
                peer->readAll();
                peer->write(reply);
            });
        });
        return device.serverPort();
    }

    // Runs events for ms milliseconds, so that windows lay out and paint.
    static void Pump(int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    // Writes a script under the sandbox's TARVEN folder; its path, or empty when it failed.
    QString WriteScript(const QString& name, const QByteArray& text) const
    {
        QDir().mkpath(Path(QStringLiteral("TARVEN")));
        const QString path = Path(QStringLiteral("TARVEN/") + name);
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? path
                                                                                  : QString();
    }

    // Starts the program with its main window at frameSize and opens path in it, its window
    // maximized; null when either fails.
    static CDocument* StartAndOpen(CProgram& program, const QString& path, QSize frameSize)
    {
        if (!Start(program))
            return nullptr;
        CTARVENApp& tarven = program.App();
        tarven.MainFrame()->resize(frameSize);
        CDocument* document = tarven.OpenDocumentFile(path);
        if (document != nullptr)
            document->Frame()->showMaximized();
        return document;
    }

    // The frame's picture with a top-level window of it drawn where it stands, framed: no
    // window manager draws the two windows together here.
    static QPixmap GrabWithWindow(QWidget* frame, QWidget* window)
    {
        QPixmap picture = frame->grab();
        const QPoint at = window->geometry().topLeft() - frame->geometry().topLeft();
        QPainter painter(&picture);
        painter.drawPixmap(at, window->grab());
        painter.setPen(QColor(0x60, 0x60, 0x60));
        painter.drawRect(QRect(at, window->size()).adjusted(-1, -1, 0, 0));
        return picture;
    }

    // Saves picture as name in folder and says where; the program's exit status.
    static int SavePicture(const QPixmap& picture, const QString& folder, const QString& name)
    {
        const QString out = QDir(folder).filePath(name);
        if (!picture.save(out)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
            return 1;
        }
        std::printf("picture written to %s\n", qPrintable(out));
        return 0;
    }

private:
    QTemporaryDir m_dir;
};
