#include "JUnitReport.h"

#include "TerminalText.h"

#include <QSysInfo>
#include <QXmlStreamWriter>

#include <cstdio>

namespace {

constexpr const char* kSuiteName = "tslrun";

struct Counts
{
    int tests = 0;
    int failures = 0;
    int errors = 0;
    int skipped = 0;
};

enum class Verdict
{
    Pass,
    Failure,
    Error,
    Skipped
};

constexpr const char* kUnfinished = "did not finish";

Verdict VerdictOf(RunEnd end, bool bEarly)
{
    switch (end) {
    case RunEnd::Passed:
        return Verdict::Pass;
    case RunEnd::NotRun:
        return bEarly ? Verdict::Error : Verdict::Skipped;
    case RunEnd::Sync:
    case RunEnd::Timeout:
        return Verdict::Failure;
    default:
        return Verdict::Error;
    }
}

// The type attribute of a failure or an error.
const char* TypeOf(RunEnd end)
{
    switch (end) {
    case RunEnd::NotRun:
        return "unfinished";
    case RunEnd::Sync:
        return "sync";
    case RunEnd::Timeout:
        return "timeout";
    case RunEnd::ScriptErrors:
        return "verify";
    case RunEnd::Unreadable:
        return "unreadable";
    case RunEnd::LinkFailure:
        return "link";
    case RunEnd::LinkLost:
        return "link-lost";
    case RunEnd::DroppedBytes:
        return "dropped-bytes";
    case RunEnd::Signal:
        return "signal";
    case RunEnd::OutputClosed:
        return "output-closed";
    default:
        return "";
    }
}

Counts CountOf(const std::vector<TslRunCase>& cases, bool bEarly)
{
    Counts counts;
    for (const TslRunCase& c : cases) {
        ++counts.tests;
        switch (VerdictOf(c.end, bEarly)) {
        case Verdict::Failure:
            ++counts.failures;
            break;
        case Verdict::Error:
            ++counts.errors;
            break;
        case Verdict::Skipped:
            ++counts.skipped;
            break;
        case Verdict::Pass:
            break;
        }
    }
    return counts;
}

QString Seconds(double seconds)
{
    return QString::number(seconds, 'f', 3);
}

void WriteCounts(QXmlStreamWriter& xml, const Counts& counts, double seconds)
{
    xml.writeAttribute("name", kSuiteName);
    xml.writeAttribute("tests", QString::number(counts.tests));
    xml.writeAttribute("failures", QString::number(counts.failures));
    xml.writeAttribute("errors", QString::number(counts.errors));
    xml.writeAttribute("skipped", QString::number(counts.skipped));
    xml.writeAttribute("time", Seconds(seconds));
}

// The script's file name without its folder and its last suffix.
std::string_view ClassName(std::string_view script)
{
    const size_t slash = script.rfind('/');
    if (slash != std::string_view::npos)
        script.remove_prefix(slash + 1);
    const size_t dot = script.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? script : script.substr(0, dot);
}

// Text content with each carriage return as a reference, which a reader keeps (a bare one it
// reads as a line feed).
void WriteCharacters(QXmlStreamWriter& xml, const QString& text)
{
    qsizetype from = 0;
    for (qsizetype cr = text.indexOf('\r'); cr >= 0; cr = text.indexOf('\r', from)) {
        xml.writeCharacters(text.mid(from, cr - from));
        xml.writeEntityReference("#13");
        from = cr + 1;
    }
    xml.writeCharacters(text.mid(from));
}

// The text kept, with a notice where it was cut.
std::string WithCut(const CBoundedText& text, const char* what)
{
    if (text.Cut() == 0)
        return text.Head() + text.Tail();
    char notice[160];
    std::snprintf(notice, sizeof notice,
                  "[tslrun: the %s was cut here: %zu more bytes are not in this report]\n", what,
                  text.Cut());
    // The first part may end inside a line; the notice starts a line of its own.
    const bool lineOpen = !text.Head().empty() && !text.Head().ends_with('\n');
    return text.Head() + (lineOpen ? "\n" : "") + notice + text.Tail();
}

void WriteText(QXmlStreamWriter& xml, const char* element, const CBoundedText& text,
               const char* what)
{
    if (text.Head().empty() && text.Tail().empty() && text.Cut() == 0)
        return;
    xml.writeStartElement(element);
    WriteCharacters(xml, XmlText(WithCut(text, what)));
    xml.writeEndElement();
}

void WriteCase(QXmlStreamWriter& xml, const TslRunCase& c, bool bEarly)
{
    xml.writeStartElement("testcase");
    xml.writeAttribute("classname", XmlText(ClassName(c.strScript)));
    xml.writeAttribute("name", XmlText(c.strScript));
    xml.writeAttribute("time", Seconds(c.seconds));
    const Verdict verdict = VerdictOf(c.end, bEarly);
    const std::string& message = c.end == RunEnd::NotRun && bEarly ? kUnfinished : c.strMessage;
    if (verdict == Verdict::Skipped) {
        xml.writeEmptyElement("skipped");
        xml.writeAttribute("message", XmlText(message));
    } else if (verdict != Verdict::Pass) {
        xml.writeStartElement(verdict == Verdict::Failure ? "failure" : "error");
        xml.writeAttribute("message", XmlText(message));
        xml.writeAttribute("type", TypeOf(c.end));
        WriteCharacters(xml, XmlText(WithCut(c.detail, "list of messages") + message));
        xml.writeEndElement();
    }
    WriteText(xml, "system-out", c.output, "output");
    WriteText(xml, "system-err", c.errors, "list of messages");
    xml.writeEndElement();
}

void AppendNotation(QString& out, std::string_view bytes)
{
    char code[5];
    for (const char byte : bytes) {
        std::snprintf(code, sizeof code, "<%02X>", static_cast<unsigned char>(byte));
        out += QLatin1String(code);
    }
}

} // namespace

QString XmlText(std::string_view bytes)
{
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            if (c >= 0x20 || c == '\t' || c == '\n' || c == '\r')
                out += QLatin1Char(static_cast<char>(c));
            else
                AppendNotation(out, bytes.substr(i, 1));
            ++i;
            continue;
        }
        const std::size_t length = Utf8Length(bytes, i);
        const std::string_view sequence = bytes.substr(i, length == 0 ? 1 : length);
        // U+FFFE and U+FFFF are valid UTF-8, but no XML character.
        const bool nonCharacter = sequence == "\xEF\xBF\xBE" || sequence == "\xEF\xBF\xBF";
        if (length == 0 || nonCharacter)
            AppendNotation(out, sequence);
        else
            out += QString::fromUtf8(sequence.data(), static_cast<qsizetype>(sequence.size()));
        i += sequence.size();
    }
    return out;
}

QByteArray JUnitDocument(const JUnitSuite& suite, const std::vector<TslRunCase>& cases)
{
    QByteArray document;
    QXmlStreamWriter xml(&document);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    const Counts counts = CountOf(cases, suite.bEarly);
    xml.writeStartElement("testsuites");
    WriteCounts(xml, counts, suite.seconds);
    xml.writeStartElement("testsuite");
    WriteCounts(xml, counts, suite.seconds);
    xml.writeAttribute("timestamp", suite.startedAt.toString("yyyy-MM-ddTHH:mm:ss"));
    xml.writeAttribute("hostname", QSysInfo::machineHostName());
    for (const TslRunCase& c : cases)
        WriteCase(xml, c, suite.bEarly);
    xml.writeEndDocument();
    if (!document.endsWith('\n'))
        document += '\n';
    return document;
}
