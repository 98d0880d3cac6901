// Fuzzes the capture reader: the input becomes a capture file, which is opened and read record by
// record. With the input's first byte odd, the records' checksums are mended first, so that
// the reader's walk goes past the first record. Every read must stay inside the file and end.
#include "CCaptureReader.h"
#include "CaptureFormat.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

using namespace CaptureFormat;

// Gives each whole record after the header the checksum it should have.
void MendChecksums(QByteArray& file)
{
    if (file.size() < kHeaderBytes + 12)
        return;
    const auto headerBytes = static_cast<qsizetype>(GetLE(file.constData() + 10, 2));
    for (qsizetype at = headerBytes; at >= kHeaderBytes && at + kRecordHeadBytes <= file.size();) {
        const auto n = static_cast<qsizetype>(GetLE(file.constData() + at + 8, 4));
        const qsizetype end = at + kRecordHeadBytes + 2 * n;
        if (n > qsizetype(kMaxRecordBytes) || end + kRecordTailBytes > file.size())
            return;
        const uint32_t crc =
            Crc32(reinterpret_cast<const uint8_t*>(file.constData() + at), std::size_t(end - at));
        for (int i = 0; i < 4; ++i)
            file[end + i] = static_cast<char>(crc >> (8 * i));
        at = end + kRecordTailBytes;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    QByteArray file(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (data[0] & 1)
        MendChecksums(file);
    const int fd = memfd_create("capture_fuzz.tvn", MFD_CLOEXEC);
    if (fd < 0 || write(fd, file.constData(), size_t(file.size())) != file.size()) {
        if (fd >= 0)
            close(fd);
        return 0;
    }
    CCaptureReader reader;
    if (reader.Open(QString("/proc/self/fd/%1").arg(fd)) == CaptureStatus::Ok) {
        CaptureRecord record;
        qint64 cells = 0;
        while (reader.Next(record)) {
            cells += qint64(record.cells.size());
            if (reader.ValidEnd() > file.size() || cells > file.size())
                std::abort();
        }
    }
    close(fd);
    return 0;
}
