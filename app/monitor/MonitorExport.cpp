#include "MonitorExport.h"

#include "ControlCodeNames.h"
#include "HexLayout.h"
#include "SystemErrorText.h"
#include "TermViewConstants.h"
#include "TextLayout.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

namespace {

// Written out whenever this much is gathered: a big log is never held twice as text.
constexpr qsizetype kSliceBytes = 1 << 20;

// "0D 0A 41".
void AppendHex(QByteArray& out, const std::vector<Cell>& cells, std::size_t from, std::size_t to)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (std::size_t i = from; i < to; ++i) {
        if (i > from)
            out += ' ';
        out += kDigits[cells[i].byte >> 4];
        out += kDigits[cells[i].byte & 0x0F];
    }
}

// RFC 4180: a field with a comma, a quote or a line break is quoted, its quotes doubled.
void AppendCsvField(QByteArray& out, const QByteArray& field)
{
    if (!field.contains(',') && !field.contains('"') && !field.contains('\r') &&
        !field.contains('\n')) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

QByteArray TimeText(int msOfDay)
{
    // The stamp as shown, without its brackets and space.
    return msOfDay < 0 ? QByteArray() : CArrivalStamps::Text(msOfDay).mid(1, 12).toUtf8();
}

class CSliceWriter
{
public:
    CSliceWriter(QIODevice& out, const std::atomic<bool>& stop) : m_out(out), m_stop(stop) {}

    QByteArray& Buffer() { return m_buffer; }
    // Writes what is gathered once a slice is full (or always, at the end).
    bool Flush(bool always = false)
    {
        if (m_stop.load(std::memory_order_relaxed))
            return false;
        if (!always && m_buffer.size() < kSliceBytes)
            return true;
        const bool written = m_out.write(m_buffer) == m_buffer.size();
        m_buffer.clear();
        return written;
    }

private:
    QIODevice& m_out;
    const std::atomic<bool>& m_stop;
    QByteArray m_buffer;
};

bool WriteCsv(const ExportSnapshot& snapshot, CSliceWriter& writer)
{
    QByteArray& out = writer.Buffer();
    // The mark lets spreadsheet programs read the Korean text as UTF-8.
    out += "\xEF\xBB\xBF";
    out += "time,direction,client,hex,text\r\n";
    for (const ExportRecord& record : ExportRecords(snapshot)) {
        out += TimeText(record.msOfDay);
        out += record.attr == kAttrReceived ? ",RX," : ",TX,";
        if (record.client >= 0)
            out += QByteArray::number(record.client);
        out += ',';
        AppendHex(out, snapshot.cells, record.from, record.to);
        out += ',';
        AppendCsvField(
            out,
            ExportCodeText(snapshot.cells, record.from, record.to, snapshot.encoding).toUtf8());
        out += "\r\n";
        if (!writer.Flush())
            return false;
    }
    return writer.Flush(true);
}

bool WriteHexDump(const ExportSnapshot& snapshot, CSliceWriter& writer)
{
    QByteArray& out = writer.Buffer();
    const std::vector<Cell>& cells = snapshot.cells;
    for (std::size_t row = 0; row < cells.size(); row += kHexBytesPerRow) {
        const std::size_t end = std::min(row + kHexBytesPerRow, cells.size());
        out += QByteArray::number(qulonglong(row), 16).toUpper().rightJustified(8, '0');
        out += "  ";
        AppendHex(out, cells, row, end);
        // Short last row: the text stays in its column.
        out += QByteArray(int(kHexBytesPerRow - (end - row)) * 3, ' ');
        out += "  |";
        for (std::size_t i = row; i < end; ++i) {
            const uint8_t b = cells[i].byte;
            out += b >= 0x20 && b < 0x7F ? char(b) : '.';
        }
        out += "|\n";
        if (!writer.Flush())
            return false;
    }
    return writer.Flush(true);
}

bool WriteText(const ExportSnapshot& snapshot, CSliceWriter& writer)
{
    // As the terminal lays it out: each stamp's time (when shown) and mark before its byte.
    QByteArray& out = writer.Buffer();
    const std::vector<Cell>& cells = snapshot.cells;
    std::size_t done = 0;
    auto stamp = snapshot.stamps.begin();
    while (done < cells.size()) {
        for (; stamp != snapshot.stamps.end() && stamp->offset <= snapshot.start + done; ++stamp) {
            if (snapshot.bShowTimes || stamp->client >= 0)
                out += CArrivalStamps::LeadText(snapshot.bShowTimes ? stamp->msOfDay : -1,
                                                stamp->client)
                           .toUtf8();
        }
        std::size_t next = cells.size();
        if (stamp != snapshot.stamps.end())
            next = std::min<std::size_t>(next, stamp->offset - snapshot.start);
        // A slice never ends inside a character, nor between CR and LF.
        next = std::min(next, done + std::size_t(kSliceBytes));
        while (next < cells.size() && next > done + 1 &&
               (cells[next - 1].byte >= 0x80 || cells[next - 1].byte == '\r'))
            --next;
        const std::vector<Cell> part(cells.begin() + std::ptrdiff_t(done),
                                     cells.begin() + std::ptrdiff_t(next));
        out += CopyText(part, snapshot.bShowControls, snapshot.encoding).toUtf8();
        done = next;
        if (!writer.Flush())
            return false;
    }
    return writer.Flush(true);
}

} // namespace

std::vector<ExportRecord> ExportRecords(const ExportSnapshot& snapshot)
{
    std::vector<ExportRecord> records;
    const std::vector<Cell>& cells = snapshot.cells;
    auto stamp = snapshot.stamps.begin();
    auto run = snapshot.clients.begin();
    int client = -1;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const uint64_t offset = snapshot.start + i;
        bool starts = records.empty() || cells[i].attr != records.back().attr;
        for (; run != snapshot.clients.end() && run->offset <= offset; ++run) {
            starts = starts || run->client != client;
            client = run->client;
        }
        int msOfDay = -1;
        for (; stamp != snapshot.stamps.end() && stamp->offset <= offset; ++stamp) {
            if (stamp->offset == offset) {
                msOfDay = stamp->msOfDay;
                starts = true;
            }
        }
        if (starts)
            records.push_back({i, i, cells[i].attr, client, msOfDay});
        records.back().to = i + 1;
    }
    return records;
}

QString ExportCodeText(const std::vector<Cell>& cells, std::size_t from, std::size_t to,
                       TextEncoding encoding)
{
    QString text;
    CTextDecoder decoder(cells, encoding);
    const auto code = [&](uint8_t b) {
        text += QStringLiteral("<%1>").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    };
    for (std::size_t i = from; i < to;) {
        const uint8_t b = cells[i].byte;
        char32_t ch = 0;
        if (IsControlCode(b)) {
            code(b);
            ++i;
        } else if (b < 0x80) {
            text += QLatin1Char(static_cast<char>(b));
            ++i;
        } else if (const int length = decoder.Decode(i, &ch);
                   length > 0 && i + std::size_t(length) <= to) {
            text += QString::fromUcs4(&ch, 1);
            i += std::size_t(length);
        } else {
            code(b);
            ++i;
        }
    }
    return text;
}

bool WriteExport(const ExportSnapshot& snapshot, ExportKind kind, QIODevice& out,
                 const std::atomic<bool>& stop)
{
    CSliceWriter writer(out, stop);
    switch (kind) {
    case ExportKind::Csv:
        return WriteCsv(snapshot, writer);
    case ExportKind::HexDump:
        return WriteHexDump(snapshot, writer);
    case ExportKind::Text:
        return WriteText(snapshot, writer);
    }
    return false;
}

QString ExportToFile(const ExportSnapshot& snapshot, ExportKind kind, const QString& path,
                     const std::atomic<bool>& stop)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    errno = 0;
    if (!WriteExport(snapshot, kind, file, stop) || !file.flush()) {
        const QString why = stop.load()
                                ? QCoreApplication::translate("MonitorExport", "취소했습니다.")
                                : file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

CExportJob::CExportJob(ExportSnapshot snapshot, ExportKind kind, const QString& path,
                       QObject* parent)
    : QObject(parent), m_snapshot(std::move(snapshot)), m_kind(kind), m_strPath(path)
{}

CExportJob::~CExportJob()
{
    m_bStop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void CExportJob::Start()
{
    m_thread = std::thread([this] {
        const QString error = ExportToFile(m_snapshot, m_kind, m_strPath, m_bStop);
        // Dropped when the job is gone first: nobody waits for it then.
        QMetaObject::invokeMethod(
            this, [this, error] { emit finished(error); }, Qt::QueuedConnection);
    });
}
