#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// Where tslrun's report goes, decided once before any script runs. A regular file (or none yet)
// is replaced whole by every report: a new file beside it is renamed over it. A pipe, a terminal
// or standard output is written once, with the last report, as there is nothing to replace.
// The path is opened as given, so that the system follows its links under its own rules, and a
// link another user left in a sticky directory is refused whatever the system's setting.
class CReportFile
{
public:
    enum class Verdict
    {
        Usable,
        Mistake,   // the command line names something that is no report: a usage error
        Unwritable // a report cannot go there
    };

    CReportFile() = default;
    ~CReportFile();
    CReportFile(const CReportFile&) = delete;
    CReportFile& operator=(const CReportFile&) = delete;

    // Checks `path` against the scripts of the call; the reason when it is not Usable.
    Verdict Open(const std::string& path, const std::vector<std::string>& scripts,
                 std::string& strError);
    // A stream takes one report only: the last.
    bool IsStream() const { return m_fd >= 0 || m_bStandardOutput; }
    // The report goes to the program's own standard output, after what the scripts printed.
    bool IsStandardOutput() const { return m_bStandardOutput; }
    // Writes a whole report to the file or the stream (not standard output); false with the
    // reason.
    bool Write(std::string_view document, std::string& strError);

private:
    Verdict OpenTarget(const std::string& path, const std::vector<std::string>& scripts, bool bLink,
                       std::string& strError);
    bool Replace(std::string_view document, std::string& strError);

    std::string m_strPath; // the regular file a report replaces
    mode_t m_mode = 0;     // of the file a report replaces
    int m_fd = -1;         // a stream other than standard output
    bool m_bStandardOutput = false;
};
