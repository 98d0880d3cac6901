#include "CSingleInstance.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kStartDeadlineMs = 60000;
constexpr int kExitDeadlineMs = 60000;

// A private home, settings and runtime folder shared by the copies a test starts.
class SingleInstanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir().mkpath(Runtime());
        QFile::setPermissions(Runtime(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner);
        m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", Runtime().toLocal8Bit());
    }

    void TearDown() override
    {
        for (auto& process : m_processes) {
            process->kill();
            process->waitForFinished(kExitDeadlineMs);
        }
        qputenv("XDG_RUNTIME_DIR", m_oldRuntime);
    }

    QString Runtime() const { return m_dir.filePath("run"); }

    QProcess& Start(const QStringList& arguments)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_dir.path());
        env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", Runtime());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QT_LOGGING_RULES", "tarven.shell.info=true");
        process->setProcessEnvironment(env);
        process->start(TARVEN_BINARY, QStringList{"--nosplash"} + arguments);
        EXPECT_TRUE(process->waitForStarted(kStartDeadlineMs));
        m_processes.push_back(std::move(process));
        return *m_processes.back();
    }

    QTemporaryDir m_dir;
    QByteArray m_oldRuntime;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

} // namespace

TEST_F(SingleInstanceTest, SecondProgramAsksTheFirstToComeForwardAndEnds)
{
    QProcess& first = Start({});
    // The first copy is ready once its socket exists.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(CSingleInstance::ServerName()), kStartDeadlineMs);

    QProcess& second = Start({m_dir.filePath("some.tsl")});
    ASSERT_TRUE(second.waitForFinished(kExitDeadlineMs));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    QByteArray log;
    QTRY_VERIFY_WITH_TIMEOUT(
        (log += first.readAllStandardError()).contains("another copy asked this one"),
        kStartDeadlineMs);
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(SingleInstanceTest, RunningProgramHearsACopyStartedInProcess)
{
    QProcess& first = Start({});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(CSingleInstance::ServerName()), kStartDeadlineMs);
    CSingleInstance second;
    EXPECT_FALSE(second.Claim());
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(SingleInstanceTest, ProgramStartedSecondIsHeardByTheFirst)
{
    CSingleInstance first;
    QSignalSpy raised(&first, &CSingleInstance::activationRequested);
    ASSERT_TRUE(first.Claim());
    ASSERT_TRUE(first.IsListening());

    QProcess& second = Start({});
    QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, kExitDeadlineMs);
    EXPECT_EQ(second.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(raised.count(), 1, kExitDeadlineMs);
}

TEST_F(SingleInstanceTest, SocketLeftByACrashedCopyDoesNotBlockTheNextStart)
{
    QFile stale(CSingleInstance::ServerName());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    CSingleInstance instance;
    EXPECT_TRUE(instance.Claim());
    EXPECT_TRUE(instance.IsListening());
}
