#include "MonitorAppTest.h"

#include "CCaptureReplay.h"
#include "CMdiClientWnd.h"
#include "CReplayBar.h"
#include "CReplayFrame.h"
#include "CReplayWindow.h"
#include "CommandIds.h"
#include "MonitorConstants.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QSlider>
#include <QToolBar>
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

QByteArray Capture()
{
    QByteArray file = CaptureFormat::EncodeHeader(kStartMs);
    for (const Chunk& chunk : kChunks)
        file += Record(chunk);
    return file;
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

// Received and sent bytes of the first n chunks, as the counters I and O show them.
std::pair<qint64, qint64> Counts(std::size_t n)
{
    const QByteArray attributes = Expected(n).second;
    return {attributes.count(kAttrReceived), attributes.count(kAttrSent)};
}

std::pair<qint64, qint64> Counted(const CTARVENView* view)
{
    return {view->Received(), view->Sent()};
}

class CaptureReplayTest : public MonitorTest
{
protected:
    QString MakeCapture() { return MakeFile(QStringLiteral("replay.tvn"), Capture()); }

    // A replay window on the file, not yet read through nor shown.
    CaptureStatus OpenUnread(const QString& path)
    {
        m_window = std::make_unique<CReplayWindow>();
        return m_window->Open(path);
    }

    // A replay window on the capture, read through, stepped by a clock the test sets.
    CReplayWindow* OpenReplay(const QString& path)
    {
        EXPECT_EQ(OpenUnread(path), CaptureStatus::Ok);
        m_window->show();
        m_window->Replay()->SetClock([this] { return m_nowMs; });
        EXPECT_TRUE(WaitFor([this] {
            return m_window->Replay()->IsDurationKnown() && m_window->Replay()->IsReadAhead();
        }));
        return m_window.get();
    }

    std::pair<QByteArray, QByteArray> Held() const
    {
        std::pair<QByteArray, QByteArray> out;
        m_window->Monitor()->View()->TextView()->GetBuffer(out.first, out.second);
        return out;
    }

    // Moves the test's clock and lets the replay write what is due of what it has read.
    void At(qint64 ms)
    {
        m_nowMs = ms;
        ASSERT_TRUE(WaitFor([this] { return m_window->Replay()->IsReadAhead(); }));
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
        const CTARVENView* view = window->Monitor()->View();
        EXPECT_EQ(replay->Duration(), 2000);
        EXPECT_TRUE(Held().first.isEmpty()) << "nothing before play";
        m_nowMs = 1000; // the clock's own start does not matter
        replay->SetSpeed(s.speed);
        replay->Play();
        EXPECT_EQ(Held(), Expected(1));
        // Each chunk at its time against the start (no drift), counted by its direction.
        const struct
        {
            qint64 offset;
            std::size_t chunks;
        } steps[] = {{499, 1}, {500, 2}, {999, 2}, {1000, 4}, {1499, 4}, {1500, 5}, {1999, 5}};
        for (const auto& step : steps) {
            At(1000 + step.offset / s.factor);
            EXPECT_EQ(Held(), Expected(step.chunks)) << step.offset << " x" << s.factor;
            EXPECT_EQ(Counted(view), Counts(step.chunks)) << step.offset << " x" << s.factor;
        }
        EXPECT_TRUE(replay->IsPlaying());
        At(1000 + 2000 / s.factor);
        EXPECT_EQ(Held(), Expected(kChunks.size()));
        EXPECT_FALSE(replay->IsPlaying());
        EXPECT_TRUE(replay->IsAtEnd());
        EXPECT_EQ(replay->Position(), 2000);
    }

    // On the real clock, ten times takes no less than a tenth of the recorded time.
    ASSERT_EQ(OpenUnread(path), CaptureStatus::Ok);
    m_window->Replay()->SetSpeed(CCaptureReplay::Speed::Ten);
    QElapsedTimer elapsed;
    elapsed.start();
    m_window->Replay()->Play();
    ASSERT_TRUE(WaitFor([&] { return m_window->Replay()->IsAtEnd(); }));
    EXPECT_GE(elapsed.elapsed(), 195);
    EXPECT_EQ(Held(), Expected(kChunks.size()));
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
        EXPECT_EQ(Counted(window->Monitor()->View()), Counts(seek.chunks))
            << "the counters follow what the view holds";
        EXPECT_FALSE(replay->IsPlaying()) << "seeking keeps a paused replay paused";
    }
    // Play from a seek keeps the recorded pace; a pause stops writing until play resumes.
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
    // More chunks than the replay reads ahead: several batches, every byte still in order.
    QByteArray file = CaptureFormat::EncodeHeader(kStartMs);
    QByteArray bytes;
    QByteArray attrs;
    const QByteArray filler(64 * 1024, 'f');
    for (int i = 0; i < 4000; ++i) {
        const QByteArray chunk =
            QByteArray::number(i) + (i % 7 == 0 ? "\r\n" : " ") + (i % 50 == 0 ? filler : "");
        const char attribute = i % 5 == 0 ? kAttrSent : kAttrReceived;
        file += Record({i * 10, chunk, attribute});
        bytes += chunk;
        attrs += QByteArray(chunk.size(), attribute);
    }
    ASSERT_GT(bytes.size(), qsizetype(kReplayReadAheadBytes));
    // A record cut short by a crash after the whole ones.
    file += Record({50000, "lost in a crash", kAttrReceived}).left(20);
    ASSERT_EQ(OpenUnread(MakeFile("many.tvn", file)), CaptureStatus::Ok);
    m_window->show();
    m_window->Bar()->SpeedBox()->setCurrentIndex(2);
    m_window->Bar()->PlayButton()->click();
    ASSERT_TRUE(WaitFor([&] { return m_window->Replay()->IsAtEnd(); }));
    QByteArray heldBytes;
    QByteArray heldAttrs;
    CTARVENView* view = m_window->Monitor()->View();
    view->TextView()->GetBuffer(heldBytes, heldAttrs);
    EXPECT_TRUE(heldBytes == bytes && heldAttrs == attrs);
    EXPECT_FALSE(view->IsOnline());
    EXPECT_FALSE(view->IsConnecting());
    EXPECT_EQ(Counted(view),
              std::make_pair(qint64(attrs.count(kAttrReceived)), qint64(attrs.count(kAttrSent))));
    EXPECT_EQ(m_dialogsSeen, 0) << "a replay window does not ask how to connect";
    EXPECT_EQ(m_window->Replay()->Duration(), 39990);
    // What is whole is replayed, then the notice says where it stopped.
    EXPECT_EQ(m_window->Bar()->Notice()->text(),
              QStringLiteral("손상된 기록 1개를 건너뛰었습니다 (%1 바이트 중 %2 바이트까지 재생)")
                  .arg(file.size())
                  .arg(file.size() - 20));
}

TEST_F(CaptureReplayTest, OpeningReadsNothingBeforeItReturnsAndPlayNeedNotWaitForTheLength)
{
    // Open returns before the length is read; the slider waits for the reading thread.
    QByteArray file = CaptureFormat::EncodeHeader(kStartMs);
    const QByteArray line(1000, 'L');
    for (int i = 0; i < 4000; ++i)
        file += Record({i, line, kAttrReceived});
    ASSERT_EQ(OpenUnread(MakeFile("long.tvn", file)), CaptureStatus::Ok);
    CCaptureReplay* replay = m_window->Replay();
    QSlider* slider = m_window->Bar()->Slider();
    EXPECT_FALSE(replay->IsDurationKnown());
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_TRUE(m_window->Bar()->LengthProgress()->isHidden()) << "not before it takes a while";
    replay->Play();
    ASSERT_TRUE(WaitFor([&] { return Held().first.startsWith(line); }));
    ASSERT_TRUE(WaitFor([&] { return replay->IsDurationKnown(); }));
    EXPECT_EQ(replay->Duration(), 3999);
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_EQ(slider->maximum(), 3999);
    EXPECT_TRUE(m_window->Bar()->LengthProgress()->isHidden());

    // Files that are no capture are told at once, as the monitor tells them.
    const struct
    {
        QByteArray contents;
        CaptureStatus status;
    } refused[] = {{"plain text\n", CaptureStatus::NotCapture},
                   {QByteArray(), CaptureStatus::NotCapture}};
    for (const auto& other : refused)
        EXPECT_EQ(CReplayWindow().Open(MakeFile("other.tvn", other.contents)), other.status);
    EXPECT_EQ(CReplayWindow().Open(Path("missing.tvn")), CaptureStatus::Unreadable);
}

namespace {

// The whole program: a live monitor beside the replay of a capture.
class ReplayInWorkspaceTest : public MonitorAppTest
{
protected:
    // The texts of the window menu as it shows them, the ticked one marked.
    QStringList WindowMenu()
    {
        QMenu* windows = nullptr;
        for (QAction* entry : Frame()->menuBar()->actions()) {
            if (entry->text() == "창(&W)")
                windows = entry->menu<QMenu*>();
        }
        if (windows == nullptr)
            return {};
        const QStringList items = ShownItems(windows);
        // The keyboard back with the main window, as when a person closes the menu.
        Frame()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Frame()));
        return items;
    }

    CReplayFrame* ActiveReplay() const
    {
        return qobject_cast<CReplayFrame*>(Frame()->MdiClient()->activeSubWindow());
    }
};

} // namespace

TEST_F(ReplayInWorkspaceTest, ReplayIsAChildWindowOfTheWorkspaceThatNeverTouchesTheLiveLink)
{
    PtyPair pty;
    SetValue("Interface", 0);
    SetValue("PortName", QString::fromStdString(pty.SlavePath()));
    CTARVENView* live = OpenMonitor();
    live->OnPortOpen();
    ASSERT_TRUE(live->IsOnline());

    const QString path = MakeFile(QStringLiteral("replay.tvn"), Capture());
    CDocument* shown = m_app->OpenDocumentFile(path);
    ASSERT_NE(shown, nullptr);
    const CTARVENView* shownView = shown->Frame()->findChild<CTARVENView*>();
    QAction* replay = Frame()->Action(ID_VIEW_REPLAY);
    ASSERT_TRUE(WaitFor([&] { return replay->isEnabled(); }));
    replay->trigger();

    // A child window of the workspace, active and listed in the window menu under its title.
    CReplayFrame* frame = ActiveReplay();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "재생 - replay.tvn");
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->Window()->Replay()->IsPlaying());
    EXPECT_EQ(Frame()->CurrentMenuId(), CMainFrame::kMenuTvn);
    EXPECT_EQ(WindowMenu(), QStringList({"계단식 배열(&C)", "바둑판식 배열(&T)", "&1 Tvn1",
                                         "&2 replay.tvn", "&3 재생 - replay.tvn *"}));
    // The same command on the same file brings that replay forward.
    Frame()->MdiClient()->setActiveSubWindow(shown->Frame());
    ASSERT_TRUE(WaitFor([&] { return replay->isEnabled(); }));
    replay->trigger();
    EXPECT_EQ(ActiveReplay(), frame);
    EXPECT_EQ(Frame()->MdiClient()->subWindowList().size(), 3);

    // Its panes name the replay and the file, and count each recorded direction.
    CTARVENView* view = frame->Window()->Monitor()->View();
    frame->Window()->Bar()->SpeedBox()->setCurrentIndex(2);
    ASSERT_TRUE(WaitFor([&] { return frame->Window()->Replay()->IsAtEnd(); }));
    const auto [received, sent] = Counts(kChunks.size());
    const QString counters = QStringLiteral("I: %1, O: %2, L: %3")
                                 .arg(received)
                                 .arg(sent)
                                 .arg(view->TextView()->GetLineSize());
    ASSERT_TRUE(WaitFor([&] { return Pane(view, 3) == counters; })) << Pane(view, 3).toStdString();
    EXPECT_EQ(Pane(view, 0), "OFF-LINE");
    EXPECT_EQ(Pane(view, 1), "재생");
    EXPECT_EQ(Pane(view, 2), QDir::toNativeSeparators(path));
    EXPECT_FALSE(view->Panel()->isVisible()) << "control codes would only be sent";

    // No link is touched: commands still go to the live monitor; keys typed here go nowhere.
    EXPECT_EQ(Frame()->SendTarget(), shownView->Link());
    for (int id : {ID_PORT_OPEN, ID_PORT_CLOSE, ID_PORT_SETTINGS, ID_VIEW_PAUSE, ID_CAPTURE,
                   ID_CAPTURE_SHOW, ID_FILE_TRANSFER, ID_VIEW_REPLAY, ID_LINE_DTR})
        EXPECT_FALSE(Frame()->Action(id)->isEnabled()) << id;
    EXPECT_TRUE(Frame()->Action(ID_VIEW_HEX)->isEnabled());
    ASSERT_EQ(QApplication::focusWidget(), view->TextView());
    Type("abc");
    Press(Qt::CTRL | Qt::Key_O);
    emit view->StatusBar()->portSettingsRequested(); // a click on the port pane
    QCoreApplication::processEvents();
    EXPECT_FALSE(view->IsOnline());
    EXPECT_EQ(Counted(view), Counts(kChunks.size()));
    EXPECT_EQ(m_dialogsSeen, 1) << "only the live monitor asked how to connect";
    EXPECT_TRUE(m_messages.texts.isEmpty()) << m_messages.texts.join('\n').toStdString();
    EXPECT_TRUE(live->IsOnline());
    // The first bytes at the device are the ones typed into the live monitor.
    for (QMdiSubWindow* child : Frame()->MdiClient()->subWindowList()) {
        if (child->isAncestorOf(live))
            Frame()->MdiClient()->setActiveSubWindow(child);
    }
    ASSERT_EQ(QApplication::focusWidget(), live->TextView());
    Type("z");
    EXPECT_EQ(pty.Receive(1, std::chrono::milliseconds(kEventWaitMs)), "z");

    // Closing it stops the replay; the main window closes a replay as any other child.
    QPointer<CCaptureReplay> stopped = frame->Window()->Replay();
    frame->close();
    ASSERT_TRUE(WaitFor([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return stopped.isNull();
    }));
    EXPECT_TRUE(live->IsOnline());
    Frame()->MdiClient()->setActiveSubWindow(shown->Frame());
    ASSERT_TRUE(WaitFor([&] { return replay->isEnabled(); }));
    replay->trigger();
    ASSERT_NE(ActiveReplay(), nullptr);
    QPointer<CCaptureReplay> playing = ActiveReplay()->Window()->Replay();
    EXPECT_TRUE(playing->IsPlaying());
    EXPECT_TRUE(Frame()->close());
    EXPECT_TRUE(Frame()->MdiClient()->subWindowList().isEmpty());
    ASSERT_TRUE(WaitFor([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return playing.isNull();
    }));
}
