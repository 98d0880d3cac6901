#include "CDecodeCtrl.h"
#include "CElidedLabel.h"
#include "CPaneIndicator.h"
#include "CScriptOutputBar.h"
#include "CScriptStatusBar.h"
#include "CTSL.h"
#include "CTextViewCtrl.h"
#include "EchoDevice.h"
#include "PtyPair.h"
#include "ScopedEnv.h"
#include "ScriptTestEnv.h"
#include "SyncNotify.h"
#include "TcpPeer.h"
#include "TempDir.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextBlock>
#include <QToolBar>
#include <QTranslator>

#include <thread>

#include <sys/stat.h>

namespace {

// Threads of this process, counted from /proc.
uint ThreadCount()
{
    return QDir("/proc/self/task", {}, QDir::NoSort, QDir::Dirs | QDir::NoDotAndDotDot).count();
}

// The program with its script editor, shown and active, and scripts run in it.
class ScriptRunTest : public ScriptProgramTest
{
protected:
    static QByteArray Shown(const CScriptEditView* view)
    {
        QByteArray bytes;
        QByteArray attributes;
        view->WatchDialog()->TextView()->GetBuffer(bytes, attributes);
        return bytes;
    }
    static bool WaitShown(const CScriptEditView* view, const QByteArray& expected)
    {
        return WaitFor([&] { return view->WatchDialog() && Shown(view) == expected; });
    }

    EchoDevice m_device;
};

// A script whose body runs on its first pass only.
QByteArray FirstPass(quint16 port, const QByteArray& body)
{
    return TcpHeader(port) + "VAR P% 0\nBEGIN:\n    CMP P, 0\n    JPNE END\n    INC P\n" + body +
           "END:\n";
}

// A script printing the three lines once.
QByteArray ThreeLines(quint16 port)
{
    return FirstPass(port, "    PRINTEX \"one<0D><0A>\"\n    PRINTEX \"two<0D><0A>\"\n"
                           "    PRINTEX \"three<0D><0A>\"\n");
}

// Keeps the SYNC notices that reach a view, before the view sees them.
class SyncNotices : public QObject
{
public:
    explicit SyncNotices(QObject* view) { view->installEventFilter(this); }
    std::vector<std::shared_ptr<TSL_SYNC_NOTIFY>> notices;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (const auto* notice = dynamic_cast<const CSyncNotifyEvent*>(event))
            notices.push_back(notice->Notify());
        return false;
    }
};

// A script that sends word once and prints what comes back.
QByteArray EchoScript(quint16 port, const QByteArray& word)
{
    return TcpHeader(port) +
           "DIM LINE$ 256\nVAR N% 0\nVAR SENT% 0\nBEGIN:\n"
           "    CMP SENT, 0\n    JPNE LISTEN\n    OUT \"" +
           word +
           "<0D><0A>\"\n    INC SENT\nLISTEN:\n    IN LINE, N\n    CMP N, 0\n"
           "    JPE END\n    PRINT LINE\nEND:\n";
}

} // namespace

TEST_F(ScriptRunTest, ScriptWithTwoErrorsDoesNotRunAndStatusPanesShowCaretProgressAndRunning)
{
    CScriptEditView* view = NewScript("VAR N% 0\nBEGIN:\n    INC M\n    PRINT \"A\", X\nEND:\n");
    CScriptStatusBar* bar = ActiveFrame()->StatusBar();
    Frame()->Action(ID_SCRIPT_RUN)->trigger();

    EXPECT_EQ(Output(view), "Compiling...\n"
                            "error : line 3, 'M' 변수를 찾을수 없습니다...\n"
                            "error : line 4, 'X' 인자지정이 잘못되었습니다...\n"
                            "\n2 개의 오류가 있습니다...");
    EXPECT_FALSE(view->IsRunning());
    EXPECT_EQ(view->Decode(), nullptr);
    EXPECT_EQ(view->WatchDialog(), nullptr);
    EXPECT_TRUE(Frame()->Action(ID_SCRIPT_RUN)->isEnabled());
    EXPECT_FALSE(Frame()->Action(ID_SCRIPT_STOP)->isEnabled());
    // Nothing is under way: the progress pane is back at 0.
    EXPECT_EQ(view->Document()->Progress(), 0);
    EXPECT_EQ(bar->ProgressPane()->value(), 0);

    // A double-click on the second error line takes the editor to line 4.
    QPlainTextEdit* page = Bar()->PageEdit(view->Document()->Title());
    const QTextBlock second = page->document()->findBlockByNumber(2);
    QTextCursor cursor(second);
    const QPoint at = page->cursorRect(cursor).center() + QPoint(4, 0);
    QTest::mouseDClick(page->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(view->CaretLine(), 4);
    EXPECT_EQ(view->CaretColumn(), 1);
    EXPECT_TRUE(WaitFor([&] { return view->Edit()->hasFocus(); }));

    view->GoToLine(3);
    view->Edit()->SelectBytes(view->Edit()->GetText().indexOf("INC M") + 4, 0);
    EXPECT_TRUE(WaitFor([&] { return bar->CaretPane()->text() == QString("열: 9, 행: 3"); }));
    EXPECT_EQ(bar->RunningPane()->Text(), QString("실행대기"));
    EXPECT_EQ(bar->RunningPane()->ShownText(), QString("실행대기")) << "not cut";
    EXPECT_FALSE(bar->RunningPane()->IsLit());

    view->Edit()->SetText(ThreeLines(m_device.Port()));
    view->OnScriptRun();
    ASSERT_TRUE(view->IsRunning());
    EXPECT_TRUE(WaitFor([&] { return bar->ProgressPane()->value() == 100; }));
    // The indicator blinks: lit and dark in turn while the script runs.
    EXPECT_TRUE(WaitFor([&] { return bar->RunningPane()->IsLit(); }));
    EXPECT_TRUE(WaitFor([&] { return !bar->RunningPane()->IsLit(); }));
    EXPECT_EQ(bar->RunningPane()->Text(), QString("실행중"));
    view->OnScriptStop();
    EXPECT_TRUE(WaitFor([&] { return bar->ProgressPane()->value() == 0; }));
    EXPECT_EQ(bar->RunningPane()->Text(), QString("실행대기"));
}

TEST_F(ScriptRunTest, PersonTypesAScriptRunsItFromTheToolbarWatchesItAndStopEndsEverything)
{
    QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
    auto* edit = qobject_cast<CScriptEditCtrl*>(QApplication::focusWidget());
    ASSERT_NE(edit, nullptr) << "the new script has the keyboard";
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QByteArray& line : EchoScript(m_device.Port(), "hello").split('\n')) {
        QTest::keyClicks(edit, QString::fromUtf8(line));
        QTest::keyClick(edit, Qt::Key_Return);
    }
    CScriptEditView* view = ActiveView();
    const auto click = [this](int id) {
        QWidget* button = Frame()->ToolBar()->widgetForAction(Frame()->Action(id));
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    };
    click(ID_SCRIPT_RUN);
    ASSERT_TRUE(view->IsRunning()) << Output(view).toStdString();
    EXPECT_EQ(Output(view), "Compiling...\nComplete Compile...\nRunning...\n");
    const QString runFile = view->RunFileName();
    EXPECT_TRUE(runFile.startsWith(QDir::tempPath()));
    struct stat status = {};
    ASSERT_EQ(::stat(QFile::encodeName(runFile).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "the run's copy is the owner's alone";

    ASSERT_TRUE(WaitShown(view, "hello\r\n"));
    EXPECT_EQ(m_device.Received(), "hello\r\n");
    const uint threadsRunning = ThreadCount();
    CScriptWatchDlg* watch = view->WatchDialog();
    EXPECT_EQ(watch->windowTitle(), view->Document()->Title() + "-스크립트 실행창");
    EXPECT_TRUE(watch->isVisible());

    // Run while running does nothing: the same host, the same window, no new messages.
    CDecodeCtrl* host = view->Decode();
    view->OnScriptRun();
    EXPECT_EQ(view->Decode(), host);
    EXPECT_EQ(view->WatchDialog(), watch);
    EXPECT_FALSE(Frame()->Action(ID_SCRIPT_RUN)->isEnabled());

    // Its menu: hexadecimal and text display, control codes, clear.
    const auto command = [&](int id) {
        auto* action = watch->ContextMenu()->findChild<QAction*>(QString::number(id));
        ASSERT_NE(action, nullptr) << id;
        action->trigger();
    };
    command(ID_VIEW_HEX);
    EXPECT_TRUE(watch->TextView()->IsHexaView());
    command(ID_VIEW_ASCII);
    EXPECT_FALSE(watch->TextView()->IsHexaView());
    command(ID_VIEW_CONTROL);
    EXPECT_TRUE(watch->TextView()->IsControlReceive());
    const auto* control = watch->ContextMenu()->findChild<QAction*>("32784");
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(control->isChecked());
    command(ID_VIEW_CLEAR);
    EXPECT_EQ(watch->TextView()->GetBufferSize(), 0);

    // Escape hides the window, the watch command shows it again.
    QTest::keyClick(watch->TextView(), Qt::Key_Escape);
    EXPECT_FALSE(watch->isVisible());
    EXPECT_FALSE(Frame()->Action(ID_SCRIPT_WATCH)->isChecked());
    Frame()->Action(ID_SCRIPT_WATCH)->trigger();
    EXPECT_TRUE(watch->isVisible());
    EXPECT_TRUE(Frame()->Action(ID_SCRIPT_WATCH)->isChecked());

    const QPointer<CScriptWatchDlg> gone(watch);
    const QPointer<CDecodeCtrl> hostGone(host);
    click(ID_SCRIPT_STOP);
    EXPECT_TRUE(hostGone.isNull()) << "the host, which joins its thread, is gone";
    EXPECT_FALSE(view->IsRunning());
    EXPECT_EQ(view->Decode(), nullptr);
    EXPECT_TRUE(WaitFor([&] { return gone.isNull(); })) << "stop destroys the watch window";
    EXPECT_FALSE(QFile::exists(runFile));
    EXPECT_TRUE(Output(view).endsWith("Running...\n\nStopped...\n"));
    EXPECT_EQ(view->Document()->Progress(), 0);
    EXPECT_LT(ThreadCount(), threadsRunning) << "the script thread is gone";
}

TEST_F(ScriptRunTest, HundredThousandPrintedLinesAreAllShownWithTheQueueBounded)
{
    constexpr int kLines = 100000;
    const QByteArray line = "0123456789";
    CScriptEditView* view =
        NewScript(TcpHeader(m_device.Port()) + "VAR N% 0\nBEGIN:\nLOOP:\n    CMP N, " +
                  QByteArray::number(kLines) + "\n    JPGE END\n    INC N\n    PRINT \"" + line +
                  "\"\n    JP LOOP\nEND:\n");
    view->OnScriptRun();
    ASSERT_TRUE(view->IsRunning());
    size_t largestQueue = 0;
    const auto total = qsizetype(kLines) * line.size();
    ASSERT_TRUE(WaitFor(
        [&] {
            CDecodeCtrl* host = view->Decode();
            if (CTSL* tsl = host ? host->m_pTSL.get() : nullptr) {
                std::lock_guard lock(tsl->m_csPrint);
                largestQueue = std::max(largestQueue, tsl->m_listPrint.size());
            }
            const CScriptWatchDlg* watch = view->WatchDialog();
            return watch && watch->TextView()->GetBufferSize() >= total;
        },
        60000));
    const QByteArray shown = Shown(view);
    EXPECT_EQ(shown.size(), total);
    EXPECT_EQ(shown, line.repeated(kLines)) << "every line, in order";
    EXPECT_EQ(view->WatchDialog()->ShownLines(), uint64_t(kLines));
    EXPECT_LE(largestQueue, CTSL::kMaxPrintLines);
    view->OnScriptStop();
}

TEST_F(ScriptRunTest, ScriptsRunAtOnceEachAgainstItsOwnDeviceAndClosingOrQuittingStopsThem)
{
    EchoDevice first;
    EchoDevice second;
    EchoDevice third;
    CScriptEditView* alpha = NewScript(EchoScript(first.Port(), "alpha"));
    CScriptEditView* bravo = NewScript(EchoScript(second.Port(), "bravo"));
    ASSERT_NE(alpha->Document()->Title(), bravo->Document()->Title());
    alpha->OnScriptRun();
    bravo->OnScriptRun();
    ASSERT_TRUE(alpha->IsRunning());
    ASSERT_TRUE(bravo->IsRunning());
    EXPECT_NE(alpha->RunFileName(), bravo->RunFileName());

    EXPECT_TRUE(WaitShown(alpha, "alpha\r\n"));
    EXPECT_TRUE(WaitShown(bravo, "bravo\r\n"));
    EXPECT_EQ(first.Received(), "alpha\r\n");
    EXPECT_EQ(second.Received(), "bravo\r\n");
    EXPECT_EQ(Output(alpha), "Compiling...\nComplete Compile...\nRunning...\n");
    EXPECT_EQ(Output(bravo), "Compiling...\nComplete Compile...\nRunning...\n");

    // The first device goes away: that run ends by itself, the other goes on.
    first.Hangup();
    ASSERT_TRUE(WaitFor([&] { return !alpha->IsRunning(); }));
    EXPECT_TRUE(Output(alpha).endsWith("\nStopped...\n")) << Output(alpha).toStdString();
    // The run command follows the active window: offered for alpha again, not for bravo.
    for (QMdiSubWindow* window : Frame()->MdiClient()->subWindowList()) {
        Frame()->MdiClient()->setActiveSubWindow(window);
        EXPECT_EQ(Frame()->Action(ID_SCRIPT_RUN)->isEnabled(), !ActiveView()->IsRunning());
    }
    ASSERT_NE(alpha->WatchDialog(), nullptr) << "the lines stay readable";
    EXPECT_EQ(Shown(alpha), "alpha\r\n");
    EXPECT_TRUE(bravo->IsRunning());

    // Closing a running script's window stops it.
    const uint threadsRunning = ThreadCount();
    const QPointer<CDecodeCtrl> host(bravo->Decode());
    const QString title = bravo->Document()->Title();
    const QPointer<CScriptEditView> closed(bravo);
    bravo->Document()->SetModifiedFlag(false);
    ASSERT_EQ(ActiveView(), bravo);
    Frame()->MdiClient()->activeSubWindow()->close();
    EXPECT_TRUE(WaitFor([&] { return closed.isNull(); }));
    EXPECT_EQ(Bar()->FindPage(title), -1) << "the page goes with the script";
    EXPECT_TRUE(host.isNull());
    EXPECT_LT(ThreadCount(), threadsRunning) << "no script thread left";

    // Quitting stops every script before the main window goes.
    alpha->OnScriptRun();
    NewScript(ThreeLines(third.Port()))->OnScriptRun();
    QList<QPointer<CDecodeCtrl>> hosts;
    for (auto* running : Frame()->findChildren<CScriptEditView*>()) {
        ASSERT_TRUE(running->IsRunning());
        ASSERT_TRUE(WaitFor([&] { return running->Decode()->IsRunning(); }));
        hosts << running->Decode();
        running->Document()->SetModifiedFlag(false);
    }
    EXPECT_TRUE(Frame()->close());
    for (auto* running : Frame()->findChildren<CScriptEditView*>())
        EXPECT_FALSE(running->IsRunning()) << "stopped before the main window goes";
    for (const QPointer<CDecodeCtrl>& stopped : hosts)
        EXPECT_TRUE(stopped.isNull()) << "stopped and gone before the main window";
    EXPECT_TRUE(WaitFor([&] { return Frame()->findChildren<CScriptEditView*>().isEmpty(); }));
}

TEST_F(ScriptRunTest, WhatTheLinkDoesIsToldOnThePage)
{
    // A refused connection ends a run that started.
    CScriptEditView* refused = NewScript(ThreeLines(FreePort()));
    refused->OnScriptRun();
    ASSERT_TRUE(refused->IsRunning());
    ASSERT_TRUE(WaitFor([&] { return !refused->IsRunning(); }));
    EXPECT_TRUE(Output(refused).contains("에 연결하지 못했습니다: "))
        << Output(refused).toStdString();
    EXPECT_TRUE(Output(refused).endsWith("\nStopped...\n"));
    EXPECT_TRUE(Frame()->Action(ID_SCRIPT_RUN)->isEnabled());

    // A serial port that does not open keeps the run from starting, and is named.
    ScopedEnv port("TARVEN_COM9", "/nonexistent/tty-for-tarven");
    CScriptEditView* view =
        NewScript("OPEN MEDIA RS232C\nOPEN PORT COM9\nOPEN BAUD_RATE 9600\nBEGIN:\nEND:\n");
    view->OnScriptRun();
    EXPECT_FALSE(view->IsRunning());
    EXPECT_EQ(view->Decode(), nullptr);
    EXPECT_EQ(Output(view), "Compiling...\nFailure Compile...\nStopped...\n");
    EXPECT_EQ(view->Document()->Progress(), 0);
    EXPECT_TRUE(m_messages.Starting("통신포트 생성실패 하였습니다.[COM9]").size() > 0)
        << m_messages.texts.join('|').toStdString();

    // Nobody reads the far end: the line fills, and the next write times out.
    PtyPair pty;
    ScopedEnv com1("TARVEN_COM1", pty.SlavePath().c_str());
    CScriptEditView* stalled =
        NewScript("OPEN MEDIA RS232C\nOPEN PORT COM1\nOPEN BAUD_RATE 115200\n"
                  "EQU LINE \"" +
                  QByteArray(200, 'x') + "\"\nBEGIN:\nLOOP:\n    OUT LINE\n    JP LOOP\nEND:\n");
    stalled->OnScriptRun();
    ASSERT_TRUE(stalled->IsRunning()) << Output(stalled).toStdString();
    EXPECT_TRUE(WaitFor([&] { return Output(stalled).contains("시리얼 쓰기 시간초과: "); }, 30000))
        << Output(stalled).toStdString();
    stalled->OnScriptStop();
    EXPECT_EQ(Output(stalled).count("시리얼 쓰기 시간초과: "), 1) << "told once";
}

TEST_F(ScriptRunTest, ASyncShowsTheVerdictInTheStatusBarAndOnTheOutputPageEvenAtTheStop)
{
    const struct
    {
        QByteArray operand;
        bool pass;
    } cases[] = {
        {"0", true},
        {"3", false},
        {"00", true},
        {"007", false},
        // Past the 32-bit range: told as written, not as the number it was held to.
        {"4294967296", false},
    };
    CScriptEditView* view = NewScript("");
    CScriptStatusBar* bar = ActiveFrame()->StatusBar();
    CElidedLabel* pane = bar->SyncPane();
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(pane->isHidden()) << "no verdict before a SYNC";
    SyncNotices seen(view);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operand.toStdString());
        const QString line = "SYNC " + QString::fromLatin1(c.operand);
        view->Edit()->SetText(FirstPass(m_device.Port(), "    SYNC " + c.operand + "\n"));
        seen.notices.clear();
        view->OnScriptRun();
        ASSERT_TRUE(view->IsRunning()) << Output(view).toStdString();
        EXPECT_FALSE(view->LastSync().has_value()) << "a new run forgets the last verdict";
        EXPECT_TRUE(pane->isHidden());
        ASSERT_TRUE(WaitFor([&] { return Output(view).endsWith(line + "\n"); }))
            << Output(view).toStdString();
        EXPECT_EQ(Output(view), "Compiling...\nComplete Compile...\nRunning...\n" + line + "\n");
        ASSERT_EQ(seen.notices.size(), 1u);
        EXPECT_EQ(seen.notices[0]->waiting.load(), 1u) << "the script waits its second as before";

        ASSERT_TRUE(view->LastSync().has_value());
        EXPECT_EQ(view->LastSync()->bPass, c.pass);
        EXPECT_TRUE(WaitFor([&] { return !pane->isHidden() && pane->ShownText() == line; }))
            << "shown whole: " << pane->ShownText().toStdString();
        const QColor colour = pane->grab().toImage().pixelColor(1, 1);
        if (c.pass)
            EXPECT_GT(colour.green(), colour.red() + 64) << colour.name().toStdString();
        else
            EXPECT_GT(colour.red(), colour.green() + 64) << colour.name().toStdString();

        // Once the run is over the verdict stays for reading.
        view->OnScriptStop();
        EXPECT_TRUE(Output(view).endsWith(line + "\n\nStopped...\n"));
        EXPECT_TRUE(WaitFor([&] { return bar->RunningPane()->Text() == "실행대기"; }));
        EXPECT_FALSE(pane->isHidden());
        EXPECT_EQ(pane->text(), line);
    }

    // A SYNC made just before the run stops still tells its verdict: stopped at the SYNC, one
    // step makes it, and from there no event is handled, so its notice waits in the queue.
    view->Edit()->SetText(FirstPass(m_device.Port(), "    SYNC 5\n"));
    view->Edit()->ToggleBreakpoint(9);
    view->OnScriptContinue();
    ASSERT_TRUE(WaitFor([&] { return view->IsPaused() && view->Edit()->StopLine() == 9; }))
        << Output(view).toStdString();
    view->OnScriptStep();
    const QDeadlineTimer deadline(kEventWaitMs);
    while (view->Decode()->GetPassCount() == 0 && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_GT(view->Decode()->GetPassCount(), 0u);
    ASSERT_FALSE(view->LastSync().has_value()) << "the notice is still in the queue";
    view->OnScriptStop();
    EXPECT_EQ(Output(view),
              "Compiling...\nComplete Compile...\nRunning...\nSYNC 5\n\nStopped...\n");
    ASSERT_TRUE(view->LastSync().has_value());
    EXPECT_EQ(view->LastSync()->text, "5");
    EXPECT_FALSE(view->LastSync()->bPass);

    // A script that makes a SYNC on every pass for days: the page keeps its last lines only.
    const QPlainTextEdit* page = Bar()->PageEdit(view->Document()->Title());
    const int kept = page->maximumBlockCount();
    ASSERT_GT(kept, 0);
    Bar()->AppendText(view->Document()->Title(),
                      QStringLiteral("SYNC 1\r\n").repeated(kept) + "SYNC 0\r\n");
    EXPECT_LE(page->document()->blockCount(), kept);
    EXPECT_TRUE(Output(view).endsWith("SYNC 1\nSYNC 0\n"));
}

TEST(ScriptStatusBarTest, PanesHoldTheirLongestTextsWholeInEnglish)
{
    // The translation the program loads for --lang en, removed again for the other tests.
    QTranslator english;
    ASSERT_TRUE(english.load(QStringLiteral(":/i18n/tarven_en.qm")));
    QCoreApplication::installTranslator(&english);
    const auto text = [](const char* source) {
        return QCoreApplication::translate("CScriptStatusBar", source);
    };
    {
        CScriptStatusBar bar(nullptr);
        CPaneIndicator* running = bar.RunningPane();
        for (const char* word : {"실행중", "실행대기"}) {
            running->SetText(text(word));
            EXPECT_EQ(running->ShownText(), text(word)) << "not cut";
        }
        const QLabel* caret = bar.CaretPane();
        EXPECT_LE(
            caret->fontMetrics().horizontalAdvance(text("열: %1, 행: %2").arg(999).arg(99999)),
            caret->width());
    }
    QCoreApplication::removeTranslator(&english);
}

TEST_F(ScriptRunTest, ACp949ScriptSendsItsTextAsCp949AndRefusesWhatCp949CannotHold)
{
    TempDir folder;
    // "한글" in CP949, as a Windows bench saved it.
    const QString path = folder.Write("bench.tsl", EchoScript(m_device.Port(), "\xC7\xD1\xB1\xDB"));
    ASSERT_NE(m_app->OpenDocumentFile(path), nullptr);
    CScriptEditView* view = ActiveView();
    ASSERT_EQ(view->Document()->Encoding(), tsl::ScriptEncoding::Cp949);
    view->OnScriptRun();
    ASSERT_TRUE(view->IsRunning()) << Output(view).toStdString();
    EXPECT_TRUE(WaitShown(view, "\xC7\xD1\xB1\xDB\r\n"));
    EXPECT_EQ(m_device.Received(), "\xC7\xD1\xB1\xDB\r\n");
    view->OnScriptStop();

    // A character CP949 has no code for is named, and nothing runs.
    view->Edit()->SetText(EchoScript(m_device.Port(), "😀"));
    view->OnScriptRun();
    EXPECT_FALSE(view->IsRunning());
    ASSERT_EQ(m_messages.texts.size(), 1);
    EXPECT_EQ(m_messages.texts[0],
              "10번째 줄의 '😀' 문자는 CP949로 나타낼 수 없어 스크립트를 실행하지 않습니다.");
}
