#include "MonitorTestEnv.h"

#include "CCaptureReplay.h"
#include "CReplayBar.h"
#include "CReplayWindow.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QSlider>
#include <QToolButton>

namespace {

constexpr int64_t kStartMs = 1'796'000'000'000; // a day in 2026

struct Chunk
{
    int64_t offsetMs;
    QByteArray bytes;
    char attribute;
};

// A chunk every 500 ms over 2 s; the third mixes sent and received bytes.
const std::vector<Chunk> kChunks = {{0, "AT\r", kAttrSent},
                                    {500, "OK\r\n", kAttrReceived},
                                    {1000, "x", kAttrSent},
                                    {1000, "RING\r\n", kAttrReceived},
                                    {1500, QByteArray("\x00\xff\x7f", 3), kAttrReceived},
                                    {2000, "end\r\n", kAttrReceived}};

QByteArray Record(const Chunk& chunk)
{
    return EncodedRecord(kStartMs + chunk.offsetMs, chunk.bytes, chunk.attribute);
}

// Bytes and attributes of the first n chunks, as a view holds them.
std::pair<QByteArray, QByteArray> Expected(std::size_t n)
{
    std::pair<QByteArray, QByteArray> out;
    for (std::size_t i = 0; i < n; ++i) {
        out.first += kChunks[i].bytes;
        out.second += QByteArray(kChunks[i].bytes.size(), kChunks[i].attribute);
    }
    return out;
}

class CaptureReplayTest : public MonitorTest
{
protected:
    QString MakeCapture()
    {
        QByteArray file = CaptureFormat::EncodeHeader(kStartMs);
        for (const Chunk& chunk : kChunks)
            file += Record(chunk);
        return MakeFile(QStringLiteral("replay.tvn"), file);
    }

    // A replay window on the capture, stepped by a clock the test sets.
    CReplayWindow* OpenReplay(const QString& path)
    {
        m_window = std::make_unique<CReplayWindow>();
        EXPECT_EQ(m_window->Open(path), CaptureStatus::Ok);
        m_window->show();
        m_window->Replay()->SetClock([this] { return m_nowMs; });
        return m_window.get();
    }

    std::pair<QByteArray, QByteArray> Held() const
    {
        std::pair<QByteArray, QByteArray> out;
        m_window->Monitor()->View()->TextView()->GetBuffer(out.first, out.second);
        return out;
    }

    // Moves the test's clock and lets the replay write what is due.
    void At(qint64 ms)
    {
        m_nowMs = ms;
        m_window->Replay()->Advance();
    }

    qint64 m_nowMs = 0;
    std::unique_ptr<CReplayWindow> m_window;
};

} // namespace

TEST_F(CaptureReplayTest, ChunksComeAtTheirRecordedTimesScaledBySpeed)
{
    const QString path = MakeCapture();
    const struct
    {
        CCaptureReplay::Speed speed;
        qint64 factor;
    } speeds[] = {{CCaptureReplay::Speed::Normal, 1}, {CCaptureReplay::Speed::Ten, 10}};
    for (const auto& s : speeds) {
        CReplayWindow* window = OpenReplay(path);
        CCaptureReplay* replay = window->Replay();
        EXPECT_EQ(replay->Duration(), 2000);
        EXPECT_TRUE(Held().first.isEmpty()) << "nothing before play";
        m_nowMs = 1000; // the clock's own start does not matter
        replay->SetSpeed(s.speed);
        replay->Play();
        EXPECT_EQ(Held(), Expected(1));
        // Each chunk at its time, not a millisecond before: the schedule is against the start,
        // so the steps do not add up to drift.
        const struct
        {
            qint64 offset;
            std::size_t chunks;
        } steps[] = {{499, 1}, {500, 2}, {999, 2}, {1000, 4}, {1499, 4}, {1500, 5}, {1999, 5}};
        for (const auto& step : steps) {
            At(1000 + step.offset / s.factor);
            EXPECT_EQ(Held(), Expected(step.chunks)) << step.offset << " x" << s.factor;
        }
        EXPECT_TRUE(replay->IsPlaying());
        At(1000 + 2000 / s.factor);
        EXPECT_EQ(Held(), Expected(kChunks.size()));
        EXPECT_FALSE(replay->IsPlaying());
        EXPECT_TRUE(replay->IsAtEnd());
        EXPECT_EQ(replay->Position(), 2000);
    }
}

TEST_F(CaptureReplayTest, SliderSeeksBackFromTheStartAndForwardAndPauseHoldsThePlace)
{
    CReplayWindow* window = OpenReplay(MakeCapture());
    CCaptureReplay* replay = window->Replay();
    QSlider* slider = window->Bar()->Slider();
    EXPECT_EQ(slider->maximum(), 2000);
    const struct
    {
        int value;
        std::size_t chunks;
    } seeks[] = {{1200, 4}, {1600, 5}, {600, 2}, {0, 1}, {2000, 6}, {499, 1}};
    for (const auto& seek : seeks) {
        slider->setValue(seek.value);
        ASSERT_TRUE(WaitFor([&] { return Held() == Expected(seek.chunks); })) << seek.value;
        EXPECT_EQ(replay->Position(), seek.value);
        EXPECT_EQ(window->Monitor()->View()->Received(), Expected(seek.chunks).first.size())
            << "the counters follow what the view holds";
        EXPECT_FALSE(replay->IsPlaying()) << "seeking keeps a paused replay paused";
    }
    // Playing on from a seek keeps the recorded pace from there; a pause stops writing, and
    // play goes on from there.
    QToolButton* play = window->Bar()->PlayButton();
    EXPECT_EQ(play->text(), "재생");
    play->click();
    EXPECT_EQ(play->text(), "일시정지");
    At(1);
    EXPECT_EQ(Held(), Expected(2));
    EXPECT_EQ(slider->value(), 500);
    At(201);
    play->click();
    EXPECT_FALSE(replay->IsPlaying());
    EXPECT_EQ(replay->Position(), 700);
    At(5000);
    EXPECT_EQ(Held(), Expected(2)) << "paused: nothing more written";
    play->click();
    At(5299);
    EXPECT_EQ(Held(), Expected(2));
    At(5300);
    EXPECT_EQ(Held(), Expected(4));
}

TEST_F(CaptureReplayTest, FullSpeedWritesEverythingWholeInOrderAndNothingOnALink)
{
    // Many chunks: the replay takes several batches and still writes every byte in order.
    QByteArray file = CaptureFormat::EncodeHeader(kStartMs);
    QByteArray bytes;
    QByteArray attrs;
    for (int i = 0; i < 4000; ++i) {
        const QByteArray chunk = QByteArray::number(i) + (i % 7 == 0 ? "\r\n" : " ");
        const char attribute = i % 5 == 0 ? kAttrSent : kAttrReceived;
        file += Record({i * 10, chunk, attribute});
        bytes += chunk;
        attrs += QByteArray(chunk.size(), attribute);
    }
    // A record cut short by a crash after the whole ones.
    file += Record({50000, "lost in a crash", kAttrReceived}).left(20);
    m_window = std::make_unique<CReplayWindow>();
    ASSERT_EQ(m_window->Open(MakeFile("many.tvn", file)), CaptureStatus::Ok);
    m_window->show();
    m_window->Bar()->SpeedBox()->setCurrentIndex(2);
    m_window->Bar()->PlayButton()->click();
    ASSERT_TRUE(WaitFor([&] { return m_window->Replay()->IsAtEnd(); }));
    EXPECT_EQ(Held(), std::make_pair(bytes, attrs));
    CTARVENView* view = m_window->Monitor()->View();
    EXPECT_FALSE(view->IsOnline());
    EXPECT_FALSE(view->IsConnecting());
    EXPECT_EQ(view->Sent(), 0);
    EXPECT_EQ(view->Received(), bytes.size());
    EXPECT_EQ(m_dialogsSeen, 0) << "a replay window does not ask how to connect";
    // What is whole is replayed, then the notice says where it stopped.
    EXPECT_EQ(m_window->Bar()->Notice()->text(),
              QStringLiteral("손상된 기록 1개를 건너뛰었습니다 (%1 바이트 중 %2 바이트까지 재생)")
                  .arg(file.size())
                  .arg(file.size() - 20));
}

TEST_F(CaptureReplayTest, TenTimesTakesAboutATenthOfTheRecordedTimeOnTheWallClock)
{
    m_window = std::make_unique<CReplayWindow>();
    ASSERT_EQ(m_window->Open(MakeCapture()), CaptureStatus::Ok);
    m_window->Replay()->SetSpeed(CCaptureReplay::Speed::Ten);
    QElapsedTimer elapsed;
    elapsed.start();
    m_window->Replay()->Play();
    ASSERT_TRUE(WaitFor([&] { return m_window->Replay()->IsAtEnd(); }));
    EXPECT_GE(elapsed.elapsed(), 195);
    EXPECT_LT(elapsed.elapsed(), 2000);
    EXPECT_EQ(Held(), Expected(kChunks.size()));
}

TEST_F(CaptureReplayTest, MonitorShowingACaptureOffersReplayInANewWindow)
{
    CTARVENView* view = NewMonitor();
    QAction* replay = view->parentWidget()->findChild<QAction*>("ReplayCapture");
    ASSERT_NE(replay, nullptr);
    EXPECT_FALSE(replay->isEnabled());
    ASSERT_EQ(view->ShowCaptureFile(MakeCapture()), 0);
    EXPECT_TRUE(replay->isEnabled());
    replay->trigger();
    auto* window = view->parentWidget()->findChild<CReplayWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->Replay()->IsPlaying());
    EXPECT_EQ(window->windowTitle(), "재생 - replay.tvn");
}
