#pragma once

#include "CArrivalStamps.h"
#include "CaptureCell.h"
#include "TextEncoding.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

class QIODevice;

// The forms the held traffic of a monitor is exported in ("내보내기...").
enum class ExportKind
{
    Text,    // as the terminal shows it: the time and client leads, control codes as shown
    HexDump, // offset, 16 bytes in hex, their text
    Csv,     // one row per record: time, direction, client, bytes in hex, text
};

// What an export writes: a copy of the held bytes of a stretch of the log with what is known of
// them, taken on the user-interface thread so that the writing can go on elsewhere.
struct ExportSnapshot
{
    std::vector<Cell> cells;
    uint64_t start = 0; // offset of cells[0] in the log
    std::vector<ArrivalStamp> stamps;
    std::vector<ClientRun> clients; // the first one is in effect at start
    TextEncoding encoding = TextEncoding::Auto;
    bool bShowControls = false; // the text form, as shown
    bool bShowTimes = false;    // likewise
};

// A stretch of bytes of one direction and one client; it begins at a stamp when it has a time.
struct ExportRecord
{
    std::size_t from = 0; // indices into the snapshot's cells, [from, to)
    std::size_t to = 0;
    uint8_t attr = 0;
    int client = -1;
    int msOfDay = -1; // -1: no time was recorded for it
};

std::vector<ExportRecord> ExportRecords(const ExportSnapshot& snapshot);

// The CSV text of bytes: characters of the encoding as they are, every other byte and every
// control code as "<0D>".
QString ExportCodeText(const std::vector<Cell>& cells, std::size_t from, std::size_t to,
                       TextEncoding encoding);

// Writes the export to out, in slices; false when out refused a write or stop was set.
bool WriteExport(const ExportSnapshot& snapshot, ExportKind kind, QIODevice& out,
                 const std::atomic<bool>& stop);

// Writes the export to path through a temporary file beside it, which replaces the file only
// once complete: a failure leaves any old file whole. Empty when done, else why not.
QString ExportToFile(const ExportSnapshot& snapshot, ExportKind kind, const QString& path,
                     const std::atomic<bool>& stop);

// One export written on a thread of its own, so that a big log does not hold the window.
// Deleting the job stops the writing and waits for its thread; the old file stays then.
class CExportJob : public QObject
{
    Q_OBJECT

public:
    CExportJob(ExportSnapshot snapshot, ExportKind kind, const QString& path,
               QObject* parent = nullptr);
    ~CExportJob() override;

    void Start();
    const QString& Path() const { return m_strPath; }

signals:
    // The file is written (error empty), or not, and why; on the job's thread.
    void finished(const QString& error);

private:
    ExportSnapshot m_snapshot;
    ExportKind m_kind;
    QString m_strPath;
    std::atomic<bool> m_bStop = false;
    std::thread m_thread;
};
