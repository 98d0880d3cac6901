// Capture files: round trip, foreign, damaged and unreadable files, continuing a capture.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "CCaptureReader.h"
#include "CTextViewCtrl.h"
#include "CaptureFormat.h"
#include "TempDir.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A record of bytes with one attribute, at a time within the years a reader searching past
// damage trusts.
QByteArray Record(const QByteArray& bytes, char attr, int64_t offsetMs = 0)
{
    const QByteArray attrs(bytes.size(), attr);
    return CaptureFormat::EncodeRecord(
        1700000000000 + offsetMs, reinterpret_cast<const uint8_t*>(bytes.data()),
        reinterpret_cast<const uint8_t*>(attrs.data()), static_cast<uint32_t>(bytes.size()));
}

// Bytes that are no record.
QByteArray RandomJunk(int n)
{
    QByteArray junk;
    for (int i = 0; i < n; ++i)
        junk += static_cast<char>((i * 131 + 7) % 251);
    return junk;
}

// Bytes in which every 8th place looks like the start of a record of count bytes (a time in
// 2024), none with its checksum right.
QByteArray LookAlikes(qsizetype bytes, uint32_t count)
{
    QByteArray place;
    CaptureFormat::PutLE(place, (uint64_t{400} << 32) | count, 8);
    return place.repeated(bytes / 8);
}

// Writes bytes in one call, as a link's reader hands them over.
void Put(CTextViewCtrl& view, const QByteArray& bytes, char attr)
{
    view.TextWrite(reinterpret_cast<const unsigned char*>(bytes.constData()),
                   static_cast<int>(bytes.size()), attr);
}

// What a view holds: its bytes and their attributes.
std::pair<QByteArray, QByteArray> Held(const CTextViewCtrl& view)
{
    std::pair<QByteArray, QByteArray> held;
    view.GetBuffer(held.first, held.second);
    return held;
}

// Each test's capture files live in a folder of its own.
class CaptureTest : public testing::Test, public TempDir
{};

} // namespace

TEST_F(CaptureTest, RoundTripKeepsEveryByteAndAttributeAndReachesTheFileWithinASecond)
{
    CTextViewCtrl writer;
    QByteArray bytes;
    QByteArray attrs;
    ASSERT_TRUE(writer.GalmuriSave(true, Path("a.tvn")));
    EXPECT_TRUE(writer.IsCapturing());
    // Every byte value, both attributes, and line breaks of all kinds.
    for (int i = 0; i < 600; ++i) {
        bytes.append(static_cast<char>(i % 256));
        attrs.append((i / 7) % 2 ? kAttrReceived : kAttrSent);
        writer.TextWrite(static_cast<unsigned char>(bytes.back()), attrs.back());
    }
    // The capture stays open: only the periodic flush can have written the bytes.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QFileInfo(Path("a.tvn")).size() > CaptureFormat::kHeaderBytes; }, 10000));
    CTextViewCtrl viewer;
    viewer.TextWrite('x', kAttrSent); // replaced by the file's content
    ASSERT_EQ(viewer.GalmuriShow(Path("a.tvn")), 0);
    EXPECT_EQ(Held(viewer), std::pair(bytes, attrs));

    // A chunk larger than one record, written in one call.
    const QByteArray bulk(static_cast<int>(kCaptureChunkMaxBytes) + 100, 'z');
    Put(writer, bulk, kAttrReceived);
    bytes += bulk;
    attrs += QByteArray(bulk.size(), kAttrReceived);
    writer.GalmuriSave(false);
    EXPECT_FALSE(writer.IsCapturing());
    writer.TextWrite('!', kAttrSent); // after the capture ended: not in the file
    ASSERT_EQ(viewer.GalmuriShow(Path("a.tvn")), 0);
    EXPECT_EQ(Held(viewer), std::pair(bytes, attrs));
    EXPECT_EQ(viewer.GetBufferSize(), bytes.size());

    // Records carry plausible times, in order.
    CCaptureReader reader;
    ASSERT_EQ(reader.Open(Path("a.tvn")), CaptureStatus::Ok);
    CaptureRecord record;
    int64_t last = reader.CreatedMs();
    int records = 0;
    while (reader.Next(record)) {
        EXPECT_GE(record.timeMs, last);
        last = record.timeMs;
        ++records;
    }
    EXPECT_GE(records, 2);
    EXPECT_EQ(reader.SkippedCount(), 0);
}

TEST(CaptureFormatTest, ChecksumIsTheOneOfZipAtEveryLengthAndSplit)
{
    // Bit by bit, as the format describes it.
    const auto reference = [](const QByteArray& bytes) {
        uint32_t crc = 0xFFFFFFFF;
        for (const char c : bytes) {
            crc ^= static_cast<uint8_t>(c);
            for (int k = 0; k < 8; ++k)
                crc = (crc & 1) != 0 ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
        }
        return ~crc;
    };
    const auto crc = [](const QByteArray& bytes, uint32_t from = 0) {
        return CaptureFormat::Crc32(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size()), from);
    };
    EXPECT_EQ(crc("123456789"), 0xCBF43926u);
    const QByteArray bytes = RandomJunk(40);
    for (qsizetype n = 0; n <= bytes.size(); ++n) {
        const QByteArray part = bytes.left(n);
        EXPECT_EQ(crc(part), reference(part)) << n;
        for (qsizetype split = 0; split <= n; ++split)
            EXPECT_EQ(crc(part.mid(split), crc(part.left(split))), crc(part)) << n << " " << split;
    }
}

TEST_F(CaptureTest, ForeignUnreadableAndUnwritableFilesAreRefusedAndLeftAlone)
{
    Write("foreign.tvn", "just some text\r\n");
    Write("empty.tvn", "");
    QByteArray newer = CaptureFormat::EncodeHeader(0);
    newer[8] = 2;
    Write("newer.tvn", newer);

    CTextViewCtrl view;
    view.TextWrite('k', kAttrSent);
    EXPECT_EQ(view.GalmuriShow(Path("foreign.tvn")), -2);
    EXPECT_EQ(view.GalmuriShow(Path("empty.tvn")), -2);
    EXPECT_EQ(view.GalmuriShow(Path("missing.tvn")), -1);
    EXPECT_EQ(view.GalmuriShow(Root()), -1); // a folder
    EXPECT_EQ(view.GalmuriShow(Path("newer.tvn")), -3);
    // Neither a FIFO that nobody writes into nor an endless device holds the window.
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo.tvn")).constData(), 0600), 0);
    EXPECT_EQ(view.GalmuriShow(Path("fifo.tvn")), -2);
    EXPECT_EQ(view.BeginGalmuriShow(Path("fifo.tvn")), -2);
    EXPECT_EQ(view.BeginGalmuriShow(QStringLiteral("/dev/zero")), -2);
    EXPECT_EQ(view.GetBufferSize(), 1); // nothing shown replaced the log

    // Nor is a capture written over a file that is none, or where no file can be made.
    const QByteArray precious = "not a capture, keep me";
    Write("notes.txt", precious);
    QSignalSpy failed(&view, &CTextViewCtrl::captureFailed);
    EXPECT_FALSE(view.GalmuriSave(true, Path("notes.txt")));
    EXPECT_FALSE(view.IsCapturing());
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(
        failed[0][0].toString(),
        QStringLiteral("갈무리 파일이 아닌 파일이 있어 그대로 둡니다: %1").arg(Path("notes.txt")));
    EXPECT_EQ(Read(Path("notes.txt")), precious);
    EXPECT_FALSE(view.GalmuriSave(true, Path("no/such/folder/x.tvn")));
    ASSERT_EQ(failed.count(), 2);
    EXPECT_TRUE(failed[1][0].toString().contains(QStringLiteral("해당 파일이나 장치가 없습니다")))
        << failed[1][0].toString().toStdString();
}

TEST_F(CaptureTest, DamagedCaptureShowsEveryWholeRecordAndCountsWhatItSkipped)
{
    const QByteArray good = CaptureFormat::EncodeHeader(0) + Record("first\r\n", kAttrSent) +
                            Record("second", kAttrReceived);
    const QByteArray third = Record("third", kAttrSent);
    const QByteArray fourth = Record("fourth", kAttrReceived);
    QByteArray flipped = third;
    flipped[flipped.size() - 8] = 'X'; // a changed byte fails the checksum
    QByteArray hugeCount = third;
    hugeCount[11] = '\x7F'; // claims a record of about 2 GB

    const struct
    {
        const char* name;
        QByteArray content;
        QByteArray shown;
        int skipped;
    } cases[] = {
        // A tail cut short by a crash.
        {"cut-in-body.tvn", good + third.left(third.size() - 3), "first\r\nsecond", 1},
        {"cut-in-head.tvn", good + third.left(5), "first\r\nsecond", 1},
        // Damage in the middle: reading goes on at the next whole record.
        {"flipped.tvn", good + flipped + fourth, "first\r\nsecondfourth", 1},
        {"huge-count.tvn", good + hugeCount + fourth, "first\r\nsecondfourth", 1},
        {"junk.tvn", good + RandomJunk(300) + fourth + third, "first\r\nsecondfourththird", 1},
        {"zeros.tvn", good + QByteArray(4096, '\0') + fourth, "first\r\nsecondfourth", 1},
        {"two-places.tvn", good + flipped + fourth + third.left(7), "first\r\nsecondfourth", 2},
        // A record of no bytes is whole: nothing to show, and nothing skipped.
        {"empty-record.tvn", good + Record("", kAttrSent) + fourth, "first\r\nsecondfourth", 0},
        // Made to look like long records everywhere: read in linear time, the record after it
        // still found.
        {"look-alikes.tvn", good + LookAlikes(3 << 20, 1 << 20) + fourth, "first\r\nsecondfourth",
         1},
        // Only a header: a capture with nothing in it.
        {"header-only.tvn", CaptureFormat::EncodeHeader(0), "", 0},
    };
    for (const auto& c : cases) {
        Write(c.name, c.content);
        SCOPED_TRACE(c.name);
        CTextViewCtrl view;
        ASSERT_EQ(view.GalmuriShow(Path(c.name)), 0);
        const auto [bytes, attrs] = Held(view);
        EXPECT_EQ(bytes, c.shown);
        EXPECT_EQ(attrs.left(13), c.shown.isEmpty()
                                      ? QByteArray()
                                      : QByteArray(7, kAttrSent) + QByteArray(6, kAttrReceived));
        EXPECT_EQ(view.GetSkippedRecords(), c.skipped);
    }
}

TEST_F(CaptureTest, ABigCaptureIsReadAsideAndShowsWhatReadingItAtOnceShows)
{
    // Past the size shown at once: lines in records of 32 KiB, a damaged one and an empty one
    // among them.
    QByteArray file = CaptureFormat::EncodeHeader(0);
    for (int i = 0; i < 48; ++i) {
        QByteArray chunk;
        while (chunk.size() < 32 * 1024)
            chunk += "record " + QByteArray::number(i) + " at " + QByteArray::number(chunk.size()) +
                     "\r\n";
        QByteArray record = Record(chunk, i % 3 != 0 ? kAttrReceived : kAttrSent, i);
        if (i == 20)
            record[100] = '#'; // fails its checksum
        file += record;
        if (i == 30)
            file += Record("", kAttrSent);
    }
    ASSERT_GT(file.size(), kCaptureShowAtOnceBytes);
    Write("big.tvn", file);

    // Read at once, then a line written after: what the view read aside must show.
    CTextViewCtrl atOnce;
    atOnce.SetTotalLineMax(2000);
    ASSERT_EQ(atOnce.GalmuriShow(Path("big.tvn")), 0);
    Put(atOnce, "live\r\n", kAttrReceived);
    EXPECT_EQ(atOnce.GetSkippedRecords(), 1);

    CTextViewCtrl view;
    view.SetTotalLineMax(2000);
    Put(view, "old\r\n", kAttrReceived);
    QSignalSpy loaded(&view, &CTextViewCtrl::captureLoaded);
    ASSERT_EQ(view.BeginGalmuriShow(Path("big.tvn")), 1);
    EXPECT_TRUE(view.IsLoadingCapture());
    auto* bar = view.findChild<QWidget*>(QStringLiteral("CaptureLoadBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(Held(view).first, "old\r\n") << "the view stays as it was while the file is read";
    Put(view, "live\r\n", kAttrReceived); // traffic meanwhile follows the file's content
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.count() == 1; }, 10000));
    EXPECT_TRUE(loaded[0][0].toBool());
    EXPECT_FALSE(view.IsLoadingCapture());
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(Held(view), Held(atOnce));
    EXPECT_EQ(view.GetSkippedRecords(), 1);
    EXPECT_EQ(view.GetLineSize(), atOnce.GetLineSize());

    // Cancelled, or another file shown meanwhile: the view shows what it showed before.
    const auto before = Held(view);
    ASSERT_EQ(view.BeginGalmuriShow(Path("big.tvn")), 1);
    QTest::mouseClick(view.findChild<QToolButton*>(QStringLiteral("CaptureLoadCancel")),
                      Qt::LeftButton);
    ASSERT_EQ(loaded.count(), 2);
    EXPECT_FALSE(loaded[1][0].toBool());
    EXPECT_EQ(Held(view), before);
    QTest::qWait(3 * kCaptureLoadPollMs);
    EXPECT_EQ(Held(view), before) << "a cancelled file is not shown later";
    ASSERT_EQ(view.BeginGalmuriShow(Path("big.tvn")), 1);
    Write("small.tvn", CaptureFormat::EncodeHeader(0) + Record("small", kAttrSent));
    ASSERT_EQ(view.BeginGalmuriShow(Path("small.tvn")), 0);
    ASSERT_EQ(loaded.count(), 3);
    EXPECT_FALSE(loaded[2][0].toBool());
    EXPECT_EQ(Held(view).first, "small");

    // A view closed while it reads waits for the reading to stop, and for nothing more.
    auto closing = std::make_unique<CTextViewCtrl>();
    ASSERT_EQ(closing->BeginGalmuriShow(Path("big.tvn")), 1);
    closing.reset();
}

TEST_F(CaptureTest, ACaptureCutShortWhileItIsReadEndsWhereItNowEnds)
{
    // Twelve records of 512 KiB: the reader holds a part of the file at a time, so the cut
    // falls in what it has not read yet.
    const QByteArray bytes(512 * 1024, 'r');
    QByteArray file = CaptureFormat::EncodeHeader(0);
    for (int i = 0; i < 12; ++i)
        file += Record(bytes, kAttrReceived, i);
    Write("cut.tvn", file);

    CCaptureReader reader;
    ASSERT_EQ(reader.Open(Path("cut.tvn")), CaptureStatus::Ok);
    CaptureRecord record;
    ASSERT_TRUE(reader.Next(record));
    // Another program overwrites the file: it now holds the header and two and a half records.
    const qint64 cut = CaptureFormat::kHeaderBytes + (file.size() - 24) / 12 * 5 / 2;
    ASSERT_EQ(::truncate(QFile::encodeName(Path("cut.tvn")).constData(), cut), 0);
    int records = 1;
    while (reader.Next(record)) {
        EXPECT_EQ(record.cells.size(), bytes.size());
        ++records;
    }
    // The two whole records left, and at most those of the part read before the cut.
    EXPECT_GE(records, 2);
    EXPECT_LE(records, 4);
    EXPECT_EQ(reader.FileSize(), cut);
    EXPECT_EQ(reader.SkippedCount(), 1); // the half record
}

TEST_F(CaptureTest, ContinuingKeepsEveryRecordedByteAndMovesADamagedTailAside)
{
    CTextViewCtrl view;
    ASSERT_TRUE(view.GalmuriSave(true, Path("log.tvn")));
    Put(view, "one\n", kAttrReceived);
    view.GalmuriSave(false);

    // A crash mid-record leaves a damaged tail: continuing moves it aside first, then twice.
    const QByteArray tails[] = {"\x01\x02\x03", "\x04\x05"};
    const QString aside[] = {Path("log.tvn.damaged"), Path("log.tvn.damaged.2")};
    for (int i = 0; i < 2; ++i) {
        const QByteArray before = Read(Path("log.tvn"));
        QFile file(Path("log.tvn"));
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(tails[i]);
        file.close();

        ASSERT_TRUE(view.GalmuriSave(true, Path("log.tvn")));
        Put(view, "two\n", kAttrSent);
        view.GalmuriSave(false);
        EXPECT_EQ(Read(aside[i]), tails[i]);
        EXPECT_TRUE(Read(Path("log.tvn")).startsWith(before)) << "no recorded byte goes";
    }

    CTextViewCtrl viewer;
    ASSERT_EQ(viewer.GalmuriShow(Path("log.tvn")), 0);
    EXPECT_EQ(Held(viewer), std::pair(QByteArray("one\ntwo\ntwo\n"),
                                      QByteArray(4, kAttrReceived) + QByteArray(8, kAttrSent)));
    EXPECT_EQ(viewer.GetSkippedRecords(), 0);

    // Damage in the middle stays where it is; new records follow the last whole one.
    QByteArray middle = Read(Path("log.tvn"));
    middle[CaptureFormat::kHeaderBytes + 13] = 'X';
    Write("log.tvn", middle);
    ASSERT_TRUE(view.GalmuriSave(true, Path("log.tvn")));
    Put(view, "three\n", kAttrSent);
    view.GalmuriSave(false);
    EXPECT_TRUE(Read(Path("log.tvn")).startsWith(middle));
    ASSERT_EQ(viewer.GalmuriShow(Path("log.tvn")), 0);
    EXPECT_EQ(Held(viewer).first, "two\ntwo\nthree\n");
    EXPECT_EQ(viewer.GetSkippedRecords(), 1);
}
