#include "CSingleInstance.h"
#include "ShellTestEnv.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int kProcessDeadlineMs = 60000;

// Copies of the real program share the test's home, settings and runtime folder.
class SingleInstanceTest : public ShellTest
{
protected:
    void TearDown() override
    {
        for (auto& process : m_processes) {
            process->kill();
            process->waitForFinished(kProcessDeadlineMs);
        }
    }

    QProcess& Start(const QStringList& arguments, const QString& folder = {})
    {
        auto process = std::make_unique<QProcess>();
        process->setWorkingDirectory(folder);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", Path("config"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QT_LOGGING_RULES", "tarven.shell.info=true");
        process->setProcessEnvironment(env);
        process->start(TARVEN_BINARY, QStringList{"--nosplash"} + arguments);
        EXPECT_TRUE(process->waitForStarted(kProcessDeadlineMs));
        m_processes.push_back(std::move(process));
        return *m_processes.back();
    }

    std::vector<std::unique_ptr<QProcess>> m_processes;
};

} // namespace

TEST_F(SingleInstanceTest, SecondProgramAsksTheFirstToComeForwardAndEnds)
{
    QProcess& first = Start({});
    // The first copy is ready once its socket exists.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(CSingleInstance::ServerName()), kProcessDeadlineMs);

    QProcess& second = Start({Path("some.tsl")});
    ASSERT_TRUE(second.waitForFinished(kProcessDeadlineMs));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    QByteArray log;
    QTRY_VERIFY_WITH_TIMEOUT(
        (log += first.readAllStandardError()).contains("another copy asked this one"),
        kProcessDeadlineMs);
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(SingleInstanceTest, ProgramStartedSecondHandsItsFilesToTheFirst)
{
    // A socket file left by a crashed copy does not block the claim.
    ASSERT_TRUE(QFile(CSingleInstance::ServerName()).open(QIODevice::WriteOnly));
    CSingleInstance first;
    QSignalSpy raised(&first, &CSingleInstance::activationRequested);
    ASSERT_TRUE(first.Claim());
    ASSERT_TRUE(first.IsListening());

    // Names relative to the second copy's folder, and one with a tab and a line break in it.
    ASSERT_TRUE(QDir().mkpath(Path("bench")));
    const QString odd = QStringLiteral("odd\tname\n 갈무리.tvn");
    QProcess& second = Start({"a.tsl", odd}, Path("bench"));
    QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, kProcessDeadlineMs);
    EXPECT_EQ(second.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(raised.count(), 1, kProcessDeadlineMs);
    EXPECT_EQ(raised[0][0].toStringList(),
              (QStringList{Path("bench/a.tsl"), Path("bench/") + odd}));

    // No files: only come forward. Lines that are no request, or too long, are dropped.
    Start({});
    QTRY_COMPARE_WITH_TIMEOUT(raised.count(), 2, kProcessDeadlineMs);
    EXPECT_EQ(raised[1][0].toStringList(), QStringList());
    for (const QByteArray& junk :
         {QByteArray("hello\n"), QByteArray("raise"), QByteArray(300 * 1024, 'x')}) {
        QLocalSocket socket;
        socket.connectToServer(CSingleInstance::ServerName());
        ASSERT_TRUE(socket.waitForConnected(kProcessDeadlineMs));
        socket.write(junk);
        socket.waitForBytesWritten(kProcessDeadlineMs);
        QTRY_VERIFY_WITH_TIMEOUT(socket.state() == QLocalSocket::UnconnectedState,
                                 kProcessDeadlineMs);
    }
    EXPECT_EQ(raised.count(), 2);
}
