// tslrun's JUnit report, read back as a CI system reads it, and the exit statuses of calls with
// several scripts.
#include "TcpPeer.h"
#include "TslrunSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <map>
#include <sys/stat.h>

using namespace TslrunTest;

namespace {

using Attributes = std::map<std::string, std::string>;

// One child of a test case: failure, error, skipped, system-out or system-err.
struct Element
{
    Attributes attributes;
    std::string text;
};

struct ReportCase
{
    Attributes attributes;
    std::map<std::string, Element> children; // by name, the first of each

    const Element* Child(const std::string& name) const
    {
        const auto found = children.find(name);
        return found == children.end() ? nullptr : &found->second;
    }
};

// A report in the shape testsuites / testsuite / testcase / (verdict, system-out, system-err);
// `error` tells what is not well formed or not in shape.
struct Report
{
    std::string error;
    Attributes suites;
    Attributes suite;
    std::vector<ReportCase> cases;
};

Attributes AttributesOf(const QXmlStreamReader& xml)
{
    Attributes attributes;
    for (const QXmlStreamAttribute& attribute : xml.attributes())
        attributes[attribute.name().toString().toStdString()] =
            attribute.value().toString().toStdString();
    return attributes;
}

Report ReadReport(const QString& path)
{
    Report report;
    const auto failed = [&](std::string why) {
        report.error = std::move(why);
        return report;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed("no report");
    QXmlStreamReader xml(&file);
    const auto next = [&](const char* name) {
        return xml.readNextStartElement() && xml.name() == QLatin1String(name);
    };
    if (!next("testsuites"))
        return failed("no testsuites");
    report.suites = AttributesOf(xml);
    if (!next("testsuite"))
        return failed("no testsuite");
    report.suite = AttributesOf(xml);
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("testcase"))
            return failed("unexpected " + xml.name().toString().toStdString());
        ReportCase& testCase = report.cases.emplace_back();
        testCase.attributes = AttributesOf(xml);
        while (xml.readNextStartElement()) {
            const std::string name = xml.name().toString().toStdString();
            // No elements within: the text is all.
            testCase.children.try_emplace(
                name, Element{AttributesOf(xml), xml.readElementText().toStdString()});
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

// Reads a report that must be readable and, when xmllint is at hand, valid by the schema.
void ReadValid(const QString& path, Report* report)
{
    *report = ReadReport(path);
    ASSERT_EQ(report->error, "");
    const QString xmllint = QStandardPaths::findExecutable("xmllint");
    if (xmllint.isEmpty())
        return;
    QProcess check;
    check.start(xmllint, {"--noout", "--schema", TSL_TEST_DATA "/junit/report.xsd", path});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardError().toStdString();
}

// The report of a call that is still going on, or was killed: every case that has not run is an
// error "did not finish".
void ExpectUnfinished(const QString& path, std::size_t count)
{
    Report report;
    ASSERT_NO_FATAL_FAILURE(ReadValid(path, &report));
    EXPECT_EQ(report.suite.at("errors"), std::to_string(count));
    EXPECT_EQ(report.suite.at("skipped"), "0");
    ASSERT_EQ(report.cases.size(), count);
    for (const ReportCase& c : report.cases) {
        const Element* error = c.Child("error");
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->attributes.at("type"), "unfinished");
        EXPECT_EQ(error->attributes.at("message"), "did not finish");
    }
}

// Scripts on links of their own, so that one call can hold links that open and one that does
// not: UDP opens with nothing at the far end (its local port is its PORT, so a free one), TCP to
// a port nobody listens on is refused.
class Bench
{
public:
    QString Script(const QString& name, const std::string& body, const std::string& media = "UDP",
                   quint16 port = 0)
    {
        const std::string text = "OPEN MEDIA " + media + "\nOPEN IP 127.0.0.1\nOPEN PORT " +
                                 std::to_string(port ? port : m_port) +
                                 "\nDIM BUF$ 64\nVAR N% 0\nVAR C% 0\nBEGIN:\n" + body + "END:\n";
        return m_dir.Write(name, QByteArray::fromStdString(text));
    }
    // Print once: the next pass may start before a SYNC has ended the script.
    QString Pass() { return Script("pass.tsl", kOnce + "PRINT \"passing\"\nSYNC 0\n"); }
    QString Fail() { return Script("fail.tsl", kOnce + "PRINT \"failing\"\nSYNC 3\n"); }
    // A value past the 32-bit range, reported as written.
    QString Huge() { return Script("huge.tsl", "SYNC 4294967296\n"); }
    QString Invalid() { return m_dir.Write("invalid.tsl", "BEGIN:\nMOVE X, 1\n"); }
    QString Refused() { return Script("refused.tsl", "SYNC 0\n", "TCP", FreePort()); }
    // Prints once, so that its output does not depend on how long it ran.
    QString Silent()
    {
        return Script("silent.tsl",
                      "CMP C, 0\nJPNE IDLE\nPRINT \"waiting\"\nINC C\nIDLE:\nSLEEP 200\n");
    }
    QString Missing() const { return m_dir.Path("missing.tsl"); }
    QString ReportPath() const { return m_dir.Path("report.xml"); }

private:
    inline static const std::string kOnce = "CMP C, 0\nJPNE END\nINC C\n";
    TempDir m_dir;
    const quint16 m_port = FreePort();
};

} // namespace

TEST(TslrunReport, OneReportTellsPassFailureVerifyErrorLinkErrorAndTimeout)
{
    Bench bench;
    const QString report = bench.ReportPath();
    const ProgramRun run =
        RunTslrun({"--timeout", "3", "--junit", report, bench.Pass(), bench.Fail(), bench.Invalid(),
                   bench.Refused(), bench.Silent(), bench.Huge()});
    EXPECT_EQ(run.status, 3) << "the first script that did not end with 0 gave 3\n" << run.err;

    Report read;
    ASSERT_NO_FATAL_FAILURE(ReadValid(report, &read));
    for (const auto* counts : {&read.suites, &read.suite}) {
        EXPECT_EQ(counts->at("name"), "tslrun");
        EXPECT_EQ(counts->at("tests"), "6");
        EXPECT_EQ(counts->at("failures"), "3");
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
        {"huge", "failure", "sync", "SYNC 4294967296", "SYNC 4294967296", ""},
    };
    ASSERT_EQ(read.cases.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const Expected& e = expected[i];
        const ReportCase& c = read.cases[i];
        SCOPED_TRACE(e.classname);
        EXPECT_EQ(c.attributes.at("classname"), e.classname);
        EXPECT_GT(Count(c.attributes.at("name"), std::string(e.classname) + ".tsl"), 0);
        EXPECT_GE(std::stod(c.attributes.at("time")), 0.0);
        for (const std::string kind : {"failure", "error", "skipped"})
            EXPECT_EQ(c.Child(kind) != nullptr, kind == e.verdict) << kind;
        if (const Element* verdict = c.Child(e.verdict)) {
            EXPECT_EQ(verdict->attributes.at("type"), e.type);
            EXPECT_GT(Count(verdict->attributes.at("message"), e.message), 0)
                << verdict->attributes.at("message");
            EXPECT_GT(Count(verdict->text, e.body), 0) << verdict->text;
        }
        const Element* out = c.Child("system-out");
        EXPECT_EQ(out != nullptr, *e.output != 0);
        if (out) {
            EXPECT_TRUE(out->text.starts_with(e.output)) << out->text;
        }
    }
    // The link's reason is told on standard error too.
    const Element* refusedErrors = read.cases[3].Child("system-err");
    ASSERT_NE(refusedErrors, nullptr);
    EXPECT_GT(Count(refusedErrors->text, "cannot connect"), 0);
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
                         line +
                         "\"\nINC C\nCMP C, 5000\nJPL LOOP\nPRINT \"the last words\"\nSYNC 0\n");
    const QString report = bench.ReportPath();
    const ProgramRun run = RunTslrun({"--junit", report, script});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Count(run.out, line), 5000) << "standard output is not cut";

    Report read;
    ASSERT_NO_FATAL_FAILURE(ReadValid(report, &read));
    ASSERT_EQ(read.cases.size(), 1u);
    const Element* out = read.cases[0].Child("system-out");
    ASSERT_NE(out, nullptr);
    // Bytes XML cannot hold are spelled out; tab, CR, DEL and Hangul stay as they are.
    EXPECT_TRUE(out->text.starts_with("A<01>B<1B>[2J\rC<FF><EF><BF><BE>D\x7F\n"
                                      "한글 <&> ]]>\n"))
        << out->text.substr(0, 80);
    // The first 128 KiB and the last, whole lines, and the cut between them.
    EXPECT_LE(out->text.size(), 256u * 1024 + 200);
    EXPECT_GT(Count(out->text, line), 4000);
    EXPECT_TRUE(out->text.ends_with("\n" + line + "\nthe last words\n"))
        << out->text.substr(out->text.size() - 200);
    const std::size_t cut = out->text.find("\n[tslrun: the output was cut here: ");
    ASSERT_NE(cut, std::string::npos);
    EXPECT_GE(cut, 127u * 1024);
    EXPECT_LE(cut, 128u * 1024 + 64) << "a few bytes more where they are spelled out";
    EXPECT_TRUE(out->text.substr(cut - line.size()).starts_with(line + "\n[tslrun:"));
    const std::size_t after = out->text.find('\n', cut + 1) + 1;
    EXPECT_EQ(out->text.substr(after, line.size() + 1), line + "\n");
    EXPECT_GE(out->text.size() - after, 127u * 1024);
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
}

TEST(TslrunReport, ASignalEndsTheCallWithAReportOfWhatRanAndWhatDidNot)
{
    Bench bench;
    const QString report = bench.ReportPath();
    for (const int signal : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(strsignal(signal));
        SpawnedTslrun run({"--junit", report.toStdString(), bench.Silent().toStdString(),
                           bench.Pass().toStdString()});
        ASSERT_TRUE(run.out.WaitFor("waiting")) << run.Errors();
        // Written before the first script ran: every case an error until it has run.
        ExpectUnfinished(report, 2);
        const int status = run.Stop(signal).first;
        if (signal == SIGKILL) {
            // A call killed without a word leaves a report that is red, not green.
            EXPECT_EQ(status, -1);
            ExpectUnfinished(report, 2);
            continue;
        }
        EXPECT_EQ(status, 143) << run.Errors();
        Report after;
        ASSERT_NO_FATAL_FAILURE(ReadValid(report, &after));
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
}

TEST(TslrunReport, TheReportReplacesOnlyAReportAndNeverAScriptOrAnotherUsersLink)
{
    Bench bench;
    TempDir dir;
    const QString pass = bench.Pass();
    const QString script = bench.Fail();
    const QString notes = dir.Write("notes.txt", "bench 7: cable swapped\n");
    const QByteArray kept = "<?xml version=\"1.0\"?><kept/>\n";
    const QString victim = dir.Write("victim.xml", kept);
    const QString nothing = dir.Path("nothing.xml");
    const auto linkTo = [](const QString& target, const QString& path, uid_t owner = geteuid()) {
        EXPECT_EQ(::symlink(target.toLocal8Bit().constData(), path.toLocal8Bit().constData()), 0);
        EXPECT_EQ(::lchown(path.toLocal8Bit().constData(), owner, owner), 0);
        return path;
    };
    const QString hardLink = dir.Path("hard.xml");
    ASSERT_EQ(::link(pass.toLocal8Bit().constData(), hardLink.toLocal8Bit().constData()), 0);
    const QString fifo = dir.Path("report.fifo");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString earlier = dir.Write("earlier.xml", "<?xml version=\"1.0\"?><testsuites/>\n");
    const QString sticky = dir.Path("sticky"); // as /tmp
    ASSERT_EQ(::mkdir(sticky.toLocal8Bit().constData(), 0700), 0);
    ASSERT_EQ(::chmod(sticky.toLocal8Bit().constData(), 01777), 0);
    const QString own = dir.Write("own.xml", kept);

    struct Case
    {
        const char* what;
        QString report;
        int status;
        const char* reason;
    };
    std::vector<Case> cases = {
        // tslrun --junit *.tsl: the first script took the report's place.
        {"a script given as the report", script, 64, "holds something other than a report"},
        {"the script itself", pass, 64, "it is the script"},
        {"the script under another name", hardLink, 64, "it is the script"},
        {"a file that is no report", notes, 64, "holds something other than a report"},
        {"a directory", dir.Root(), 2, "it is a directory"},
        {"a FIFO nobody reads", fifo, 2, "it is a FIFO that nobody reads"},
        {"a link to nothing", linkTo(nothing, dir.Path("dangling.xml")), 2,
         "it is a symbolic link to nothing"},
        {"a folder that is not there", dir.Path("none/report.xml"), 2, "cannot write the report"},
        {"/dev/null", "/dev/null", 0, ""},
        {"a link to an earlier report", linkTo(earlier, dir.Path("linked.xml")), 0, ""},
        {"an own link in a sticky directory", linkTo(own, sticky + "/own.xml"), 0, ""},
    };
    // Only root can make a link that another user owns.
    if (geteuid() == 0) {
        constexpr uid_t kNobody = 65534;
        cases.push_back({"another user's link in a sticky directory",
                         linkTo(victim, sticky + "/victim.xml", kNobody), 2, "sticky"});
        cases.push_back({"another user's link to nothing in a sticky directory",
                         linkTo(nothing, sticky + "/nothing.xml", kNobody), 2, "sticky"});
    }
    const QByteArray scriptBefore = TempDir::Read(script);
    const QByteArray notesBefore = TempDir::Read(notes);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool wasLink = QFileInfo(c.report).isSymLink();
        const ProgramRun run = RunTslrun({"--junit", c.report, pass});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(TempDir::Read(script), scriptBefore);
        EXPECT_EQ(TempDir::Read(notes), notesBefore);
        EXPECT_EQ(QFileInfo(c.report).isSymLink(), wasLink) << "a link stays a link";
        if (c.status == 0) {
            EXPECT_EQ(run.err, "");
            continue;
        }
        EXPECT_EQ(run.out, "") << "nothing ran";
        EXPECT_GT(Count(run.err, c.reason), 0) << run.err;
        if (c.status == 64) {
            EXPECT_TRUE(run.err.starts_with("tslrun: --junit \"" + c.report.toStdString() + "\": "))
                << run.err;
            EXPECT_TRUE(run.err.ends_with("\nTry 'tslrun --help'\n")) << run.err;
        } else {
            EXPECT_TRUE(run.err.starts_with("tslrun: cannot write the report")) << run.err;
        }
    }
    // What the followed links name holds the report; nothing else was written.
    EXPECT_EQ(ReadReport(earlier).cases.size(), 1u);
    EXPECT_EQ(ReadReport(own).cases.size(), 1u);
    EXPECT_EQ(TempDir::Read(victim), kept);
    EXPECT_FALSE(QFileInfo::exists(nothing));
}

TEST(TslrunReport, APipeOrStandardOutputTakesOneWholeReportAfterTheOutput)
{
    Bench bench;
    TempDir dir;
    // `text` is `output`, then one whole report of `cases` cases.
    const auto expectReportAfter = [&](const std::string& text, const std::string& output,
                                       std::size_t cases) {
        EXPECT_TRUE(text.starts_with(output + "<?xml")) << text;
        EXPECT_EQ(Count(text, "<?xml"), 1) << text;
        const std::string report = text.substr(std::min(output.size(), text.size()));
        EXPECT_EQ(ReadReport(dir.Write("read.xml", QByteArray::fromStdString(report))).cases.size(),
                  cases);
    };
    // Standard output a pipe, as in a CI step that hands the report on.
    const ProgramRun piped = RunTslrun({"--junit", "/dev/stdout", bench.Pass(), bench.Fail()});
    EXPECT_EQ(piped.status, 3) << piped.err;
    expectReportAfter(piped.out, "passing\nfailing\n", 2);

    // Standard output a file: the report follows the output in the same file, not a new one.
    const QString file = dir.Path("out.txt");
    const int fd = ::open(file.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    struct stat before
    {};
    ASSERT_EQ(::fstat(fd, &before), 0);
    {
        SpawnedTslrun run({"--junit", "/dev/stdout", bench.Pass().toStdString()}, fd);
        EXPECT_EQ(run.Wait(20s), 0) << run.Errors();
    }
    ::close(fd);
    struct stat after
    {};
    ASSERT_EQ(::stat(file.toLocal8Bit().constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    expectReportAfter(TempDir::Read(file).toStdString(), "passing\n", 1);

    // A named FIFO with a reader: one report, written at the end.
    const QString fifo = dir.Path("report.fifo");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const int reader = ::open(fifo.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    const ProgramRun toFifo = RunTslrun({"--junit", fifo, bench.Pass()});
    EXPECT_EQ(toFifo.status, 0) << toFifo.err;
    std::string document;
    char buffer[4096];
    for (ssize_t got; (got = ::read(reader, buffer, sizeof buffer)) > 0;)
        document.append(buffer, static_cast<std::size_t>(got));
    ::close(reader);
    expectReportAfter(document, "", 1);
}
