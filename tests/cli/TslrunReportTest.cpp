// tslrun's JUnit report, read back as a CI system reads it, and the exit statuses of calls with
// several scripts.
#include "TcpPeer.h"
#include "TslrunSupport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <atomic>
#include <map>
#include <thread>

using namespace TslrunTest;

namespace {

// One child of a test case: failure, error, skipped, system-out or system-err.
struct Element
{
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text;
};

struct ReportCase
{
    std::map<std::string, std::string> attributes;
    std::vector<Element> children;

    const Element* Child(const std::string& name) const
    {
        for (const Element& element : children) {
            if (element.name == name)
                return &element;
        }
        return nullptr;
    }
};

// A report in the shape testsuites / testsuite / testcase / (verdict, system-out, system-err);
// `error` tells what is not well formed or not in shape.
struct Report
{
    std::string error;
    std::map<std::string, std::string> suites;
    std::map<std::string, std::string> suite;
    std::vector<ReportCase> cases;
};

std::map<std::string, std::string> Attributes(const QXmlStreamReader& xml)
{
    std::map<std::string, std::string> attributes;
    for (const QXmlStreamAttribute& attribute : xml.attributes())
        attributes[attribute.name().toString().toStdString()] =
            attribute.value().toString().toStdString();
    return attributes;
}

Report ReadReport(const QString& path)
{
    Report report;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report.error = "no report";
        return report;
    }
    QXmlStreamReader xml(&file);
    const auto next = [&](const char* name) {
        return xml.readNextStartElement() && xml.name() == QLatin1String(name);
    };
    if (!next("testsuites")) {
        report.error = "no testsuites";
        return report;
    }
    report.suites = Attributes(xml);
    if (!next("testsuite")) {
        report.error = "no testsuite";
        return report;
    }
    report.suite = Attributes(xml);
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("testcase")) {
            report.error = "unexpected " + xml.name().toString().toStdString();
            return report;
        }
        ReportCase& testCase = report.cases.emplace_back();
        testCase.attributes = Attributes(xml);
        while (xml.readNextStartElement()) {
            Element& element = testCase.children.emplace_back();
            element.name = xml.name().toString().toStdString();
            element.attributes = Attributes(xml);
            element.text = xml.readElementText().toStdString(); // no elements within
        }
    }
    if (xml.readNextStartElement())
        report.error = "a second testsuite";
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        report.error = xml.errorString().toStdString();
    return report;
}

// Validates the report against the shape's schema when xmllint is at hand.
void ExpectValid(const QString& report)
{
    const QString xmllint = QStandardPaths::findExecutable("xmllint");
    if (xmllint.isEmpty())
        return;
    QProcess check;
    check.start(xmllint, {"--noout", "--schema", TSL_TEST_DATA "/junit/report.xsd", report});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardError().toStdString();
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// A device on 127.0.0.1 that takes every connect and holds it open until it goes away.
class Device
{
public:
    Device() : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address = Loopback(0);
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(m_fd, 8), 0);
        m_port = LocalPortOf(m_fd);
        m_thread = std::thread([this] {
            while (!m_stop) {
                pollfd fd{m_fd, POLLIN, 0};
                if (::poll(&fd, 1, 20) > 0)
                    m_links.push_back(::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC));
            }
        });
    }
    ~Device()
    {
        m_stop = true;
        m_thread.join();
        for (const int link : m_links)
            ::close(link);
        ::close(m_fd);
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    quint16 Port() const { return m_port; }

private:
    int m_fd;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::vector<int> m_links; // the thread's own until it is joined
    std::thread m_thread;
};

// Scripts on a TCP link of their own, so that one call can hold links that open and one that
// does not.
class Bench
{
public:
    QString Script(const QString& name, const std::string& body, quint16 port = 0)
    {
        const std::string head = "OPEN MEDIA TCP\nOPEN IP 127.0.0.1\nOPEN PORT " +
                                 std::to_string(port ? port : m_device.Port()) +
                                 "\nDIM BUF$ 64\nVAR N% 0\nVAR C% 0\nBEGIN:\n";
        return m_dir.Write(name, QByteArray::fromStdString(head + body + "END:\n"));
    }
    QString Pass() { return Script("pass.tsl", "PRINT \"passing\"\nSYNC 0\n"); }
    QString Fail() { return Script("fail.tsl", "PRINT \"failing\"\nSYNC 3\n"); }
    QString Invalid() { return m_dir.Write("invalid.tsl", "BEGIN:\nMOVE X, 1\n"); }
    QString Refused() { return Script("refused.tsl", "SYNC 0\n", FreePort()); }
    QString Silent() { return Script("silent.tsl", "PRINT \"waiting\"\nSLEEP 200\n"); }
    QString Missing() const { return m_dir.Path("missing.tsl"); }
    QString ReportPath() const { return m_dir.Path("report.xml"); }

private:
    TempDir m_dir;
    Device m_device;
};

} // namespace

TEST(TslrunReport, OneReportTellsPassFailureVerifyErrorLinkErrorAndTimeout)
{
    Bench bench;
    const QString report = bench.ReportPath();
    const ProgramRun run =
        RunTslrun({"--timeout", "3", "--junit", report, bench.Pass(), bench.Fail(), bench.Invalid(),
                   bench.Refused(), bench.Silent()});
    EXPECT_EQ(run.status, 3) << "the first script that did not end with 0 gave 3\n" << run.err;

    const Report read = ReadReport(report);
    ASSERT_EQ(read.error, "");
    ExpectValid(report);
    for (const auto* counts : {&read.suites, &read.suite}) {
        EXPECT_EQ(counts->at("name"), "tslrun");
        EXPECT_EQ(counts->at("tests"), "5");
        EXPECT_EQ(counts->at("failures"), "2");
        EXPECT_EQ(counts->at("errors"), "2");
        EXPECT_EQ(counts->at("skipped"), "0");
        EXPECT_GE(std::stod(counts->at("time")), 3.0);
    }
    EXPECT_TRUE(QRegularExpression(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d$)")
                    .match(QString::fromStdString(read.suite.at("timestamp")))
                    .hasMatch())
        << read.suite.at("timestamp");
    EXPECT_NE(read.suite.at("hostname"), "");

    struct Expected
    {
        const char* classname;
        const char* verdict; // "" for a pass
        const char* type;
        const char* message;
        const char* body;
        const char* output;
    };
    const Expected expected[] = {
        {"pass", "", "", "", "", "passing\n"},
        {"fail", "failure", "sync", "SYNC 3", "SYNC 3", "failing\n"},
        {"invalid", "error", "verify", "2 개의 오류가 있습니다...",
         "error : line 2, 'X' 변수를 찾을수 없습니다...", ""},
        {"refused", "error", "link", "cannot connect to 127.0.0.1:", "Connection refused", ""},
        {"silent", "failure", "timeout", "no SYNC within the --timeout of 3 s", "no SYNC within",
         "waiting\n"},
    };
    ASSERT_EQ(read.cases.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const Expected& e = expected[i];
        const ReportCase& c = read.cases[i];
        SCOPED_TRACE(e.classname);
        EXPECT_EQ(c.attributes.at("classname"), e.classname);
        EXPECT_TRUE(Contains(c.attributes.at("name"), std::string(e.classname) + ".tsl"));
        EXPECT_GE(std::stod(c.attributes.at("time")), 0.0);
        const Element* verdict = *e.verdict ? c.Child(e.verdict) : nullptr;
        EXPECT_EQ(c.Child("failure") || c.Child("error") || c.Child("skipped"), *e.verdict != 0);
        if (verdict) {
            EXPECT_EQ(verdict->attributes.at("type"), e.type);
            EXPECT_TRUE(Contains(verdict->attributes.at("message"), e.message))
                << verdict->attributes.at("message");
            EXPECT_TRUE(Contains(verdict->text, e.body)) << verdict->text;
        }
        const Element* out = c.Child("system-out");
        EXPECT_EQ(out != nullptr, *e.output != 0);
        if (out) {
            EXPECT_TRUE(out->text.starts_with(e.output)) << out->text;
        }
    }
    // The link's reason and the time-out are told on standard error too.
    const Element* refusedErrors = read.cases[3].Child("system-err");
    ASSERT_NE(refusedErrors, nullptr);
    EXPECT_TRUE(Contains(refusedErrors->text, "cannot connect"));
    const double timedOut = std::stod(read.cases[4].attributes.at("time"));
    EXPECT_GE(timedOut, 3.0);
    EXPECT_LT(timedOut, 3.0 + 5.0);
}

TEST(TslrunReport, ControlBytesHangulAndLongOutputKeepTheReportWellFormed)
{
    Bench bench;
    const std::string line(60, 'x'); // lines of a script are short
    const QString script = bench.Script(
        "bytes.tsl", "PRINTEX \"A<01>B<1B>[2J<0D>C<FF><EF><BF><BE>D<7F>\"\nPRINT \"한글 <&> ]]>\"\n"
                     "LOOP:\nPRINT \"" +
                         line + "\"\nINC C\nCMP C, 5000\nJPL LOOP\nSYNC 0\n");
    const QString report = bench.ReportPath();
    const ProgramRun run = RunTslrun({"--junit", report, script});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Count(run.out, line), 5000) << "standard output is not cut";

    const Report read = ReadReport(report);
    ASSERT_EQ(read.error, "");
    ExpectValid(report);
    ASSERT_EQ(read.cases.size(), 1u);
    const Element* out = read.cases[0].Child("system-out");
    ASSERT_NE(out, nullptr);
    // Bytes XML cannot hold are spelled out; tab, CR, DEL and Hangul stay as they are.
    EXPECT_TRUE(out->text.starts_with("A<01>B<1B>[2J\rC<FF><EF><BF><BE>D\x7F\n"
                                      "한글 <&> ]]>\n"))
        << out->text.substr(0, 80);
    EXPECT_LE(out->text.size(), 256u * 1024 + 200);
    EXPECT_GT(Count(out->text, line), 4000);
    EXPECT_TRUE(Contains(out->text, "[tslrun: the output was cut here: "))
        << out->text.substr(out->text.size() - 200);
}

TEST(TslrunReport, ExitStatusesOfOneScriptStayAndSeveralGiveTheFirstOtherThanZero)
{
    Bench bench;
    const QString report = bench.ReportPath();
    const std::pair<QStringList, int> calls[] = {
        {{bench.Pass()}, 0},
        {{bench.Fail()}, 3},
        {{bench.Invalid()}, 1},
        {{bench.Refused()}, 2},
        {{bench.Missing()}, 2},
        {{bench.Silent()}, 124},
        {{bench.Pass(), bench.Pass()}, 0},
        {{bench.Pass(), bench.Fail(), bench.Invalid()}, 3},
        {{bench.Invalid(), bench.Fail()}, 1},
        {{bench.Missing(), bench.Pass()}, 2},
    };
    for (const auto& [scripts, status] : calls) {
        const std::string what = scripts.join(' ').toStdString();
        const ProgramRun plain = RunTslrun(QStringList{"--timeout", "2"} + scripts);
        EXPECT_EQ(plain.status, status) << what << "\n" << plain.err;
        const ProgramRun reported =
            RunTslrun(QStringList{"--timeout", "2", "--junit", report} + scripts);
        EXPECT_EQ(reported.status, status) << what << "\n" << reported.err;
        EXPECT_EQ(reported.out, plain.out) << what;
        EXPECT_EQ(ReadReport(report).cases.size(), static_cast<std::size_t>(scripts.size()));
    }
    // A report that cannot be written is told before anything runs.
    const ProgramRun unwritable =
        RunTslrun({"--junit", bench.Missing() + "/report.xml", bench.Pass()});
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_EQ(unwritable.out, "");
    EXPECT_TRUE(Contains(unwritable.err, "cannot write the report")) << unwritable.err;
}

TEST(TslrunReport, ASignalEndsTheCallWithAReportOfWhatRanAndWhatDidNot)
{
    Bench bench;
    const std::string report = bench.ReportPath().toStdString();
    QFile::remove(bench.ReportPath());
    Pipe out;
    SpawnedTslrun run({"--junit", report, bench.Silent().toStdString(), bench.Pass().toStdString()},
                      out.Writer());
    ASSERT_TRUE(out.WaitFor("waiting")) << run.Errors();
    // Written before the first script ran: every case not run yet.
    const Report before = ReadReport(bench.ReportPath());
    ASSERT_EQ(before.error, "");
    EXPECT_EQ(before.suite.at("skipped"), "2");

    const auto [status, took] = run.Stop(SIGTERM);
    EXPECT_EQ(status, 143) << run.Errors();
    EXPECT_LT(took, 2s);
    const Report after = ReadReport(bench.ReportPath());
    ASSERT_EQ(after.error, "");
    ExpectValid(bench.ReportPath());
    ASSERT_EQ(after.cases.size(), 2u);
    const Element* stopped = after.cases[0].Child("error");
    ASSERT_NE(stopped, nullptr);
    EXPECT_EQ(stopped->attributes.at("type"), "signal");
    EXPECT_EQ(stopped->attributes.at("message"), "stopped by SIGTERM");
    const Element* printed = after.cases[0].Child("system-out");
    ASSERT_NE(printed, nullptr);
    EXPECT_TRUE(printed->text.starts_with("waiting\n"));
    EXPECT_NE(after.cases[1].Child("skipped"), nullptr);
    EXPECT_EQ(after.suite.at("errors"), "1");
    EXPECT_EQ(after.suite.at("skipped"), "1");
}
