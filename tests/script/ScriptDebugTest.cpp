#include "CDecodeCtrl.h"
#include "CPaneIndicator.h"
#include "CScriptDebugPane.h"
#include "CScriptStatusBar.h"
#include "CScriptWatchDlg.h"
#include "EchoDevice.h"
#include "PtyPair.h"
#include "ScopedEnv.h"
#include "ScriptBreakpoints.h"
#include "ScriptConstants.h"
#include "ScriptTestEnv.h"
#include "ShellConstants.h"

#include <QAbstractScrollArea>
#include <QLabel>
#include <QSettings>
#include <QTreeWidget>

using Sci = QsciScintillaBase;

namespace {

// A click in the breakpoint margin beside line (from 1).
void ClickMargin(CScriptEditCtrl* edit, int line)
{
    const auto index = static_cast<unsigned long>(line - 1);
    const long position = edit->SendScintilla(Sci::SCI_POSITIONFROMLINE, index);
    const int x =
        static_cast<int>(edit->SendScintilla(Sci::SCI_GETMARGINWIDTHN, kMarginLineNumbers) +
                         edit->SendScintilla(Sci::SCI_GETMARGINWIDTHN, kMarginSelection) / 2);
    const int y = static_cast<int>(edit->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, position) +
                                   edit->SendScintilla(Sci::SCI_TEXTHEIGHT, index) / 2);
    QTest::mouseClick(edit->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
}

QString PaneCell(const CScriptEditView* view, const QString& name, int column)
{
    const QTreeWidgetItem* row = view->DebugPane()->Row(name);
    return row ? row->text(column) : QStringLiteral("(no row)");
}

// The breakpoints the settings keep for path.
QString StoredLines(const QString& path)
{
    QSettings settings(kCompanyName, kApplicationName);
    settings.beginGroup("Breakpoints");
    const int count = settings.beginReadArray("Files");
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        if (settings.value("Path").toString() == QFileInfo(path).absoluteFilePath())
            return settings.value("Lines").toString();
    }
    return {};
}

using DebugEditTest = ScriptTest;

} // namespace

TEST_F(DebugEditTest, BreakpointsAreSetInTheMarginKeptWithTheFileNotInItAndReadWithinBounds)
{
    const QByteArray text = "VAR N% 0\nBEGIN:\n  INC N\n  INC N\n  INC N\nEND:\n";
    const QString path = MakeFile("counter.tsl", text);
    CScriptChildFrame* frame = OpenScript(path);
    ASSERT_NE(frame, nullptr);
    CScriptEditCtrl* edit = Edit(frame);
    ClickMargin(edit, 3);
    ClickMargin(edit, 5);
    EXPECT_EQ(edit->Breakpoints(), QList<int>({3, 5}));
    EXPECT_EQ(StoredLines(path), "3,5");
    ClickMargin(edit, 3);
    EXPECT_EQ(edit->Breakpoints(), QList<int>({5}));
    // F9 puts one on the caret's line.
    frame->View()->GoToLine(4);
    frame->View()->OnToggleBreakpoint();
    EXPECT_EQ(edit->Breakpoints(), QList<int>({4, 5}));
    EXPECT_EQ(edit->GetText(), text) << "never in the text";
    EXPECT_EQ(TempDir::Read(path), text) << "nor in the file";

    // A line put in above moves them; saving keeps them where they are now.
    edit->SendScintilla(Sci::SCI_INSERTTEXT, 0UL, "// new\n");
    EXPECT_EQ(edit->Breakpoints(), QList<int>({5, 6}));
    ASSERT_TRUE(Doc(frame)->OnFileSave());
    EXPECT_EQ(StoredLines(path), "5,6");
    delete frame;

    // Opened again, the file has them back; another file has none.
    CScriptChildFrame* again = OpenScript(path);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Edit(again)->Breakpoints(), QList<int>({5, 6}));
    CScriptChildFrame* other = OpenScript(MakeFile("other.tsl", text));
    EXPECT_TRUE(Edit(other)->Breakpoints().isEmpty());

    // A new script without a path keeps its own in memory only.
    CScriptChildFrame* fresh = OpenScript();
    ClickMargin(Edit(fresh), 2);
    EXPECT_EQ(Edit(fresh)->Breakpoints(), QList<int>({2}));
    QSettings settings(kCompanyName, kApplicationName);
    EXPECT_EQ(settings.value("Breakpoints/Files/size").toInt(), 1) << "only counter.tsl";

    // As a hand-edited or damaged settings file might hold them: read within bounds.
    const QString bench = MakeFile("bench.tsl", QByteArray("\n").repeated(20));
    settings.beginGroup("Breakpoints");
    settings.beginWriteArray("Files", 1000000);
    settings.setArrayIndex(0);
    settings.setValue("Path", QFileInfo(bench).absoluteFilePath());
    settings.setValue("Lines", "x,-1,0,7,99999999999,3,,7,2147483648,25");
    settings.endArray();
    settings.endGroup();
    settings.sync();
    CScriptChildFrame* damaged = OpenScript(bench);
    ASSERT_NE(damaged, nullptr);
    EXPECT_EQ(Edit(damaged)->Breakpoints(), QList<int>({3, 7})) << "line 25 is past the text";
    // Many files: the ones changed last are kept.
    for (int i = 0; i < ScriptBreakpoints::kMaxFiles + 10; ++i)
        ScriptBreakpoints::Save(Path(QString("f%1.tsl").arg(i)), {1});
    settings.sync();
    EXPECT_EQ(settings.value("Breakpoints/Files/size").toInt(), ScriptBreakpoints::kMaxFiles);
    EXPECT_EQ(ScriptBreakpoints::Load(Path("f0.tsl")), QList<int>());
    EXPECT_EQ(ScriptBreakpoints::Load(Path(QString("f%1.tsl").arg(ScriptBreakpoints::kMaxFiles))),
              QList<int>({1}));
}

// The whole program: scripts run, stopped and stepped with the keys a person presses.
class ScriptDebugTest : public ScriptProgramTest
{
protected:
    static bool WaitStopped(const CScriptEditView* view, int line)
    {
        return WaitFor([&] { return view->IsPaused() && view->Edit()->StopLine() == line; });
    }
};

TEST_F(ScriptDebugTest, F5StopsAtABreakpointF10StepsF5GoesOnAndShiftF5Stops)
{
    EchoDevice device;
    CScriptEditView* view = NewScript(TcpHeader(device.Port()) + "VAR N% 0\n"    // 4
                                                                 "BEGIN:\n"      // 5
                                                                 "  INC N\n"     // 6
                                                                 "  OUT \"a\"\n" // 7
                                                                 "  OUT \"b\"\n" // 8
                                                                 "END:\n");      // 9
    CScriptEditCtrl* edit = view->Edit();
    const QByteArray text = edit->GetText();
    ClickMargin(edit, 8);
    edit->setFocus();
    CScriptChildFrame* frame = ActiveFrame();

    Press(Qt::Key_F5);
    ASSERT_TRUE(view->IsRunning()) << Output(view).toStdString();
    ASSERT_TRUE(WaitStopped(view, 8));
    EXPECT_TRUE(WaitFor([&] { return device.Received() == "a"; })) << "b waits";
    EXPECT_TRUE(view->DebugPane()->isVisible());
    EXPECT_EQ(PaneCell(view, "N", CScriptDebugPane::kValue), "1");
    EXPECT_EQ(PaneCell(view, "N", CScriptDebugPane::kKind), "VAR long");
    EXPECT_TRUE(view->DebugPane()->StateLabel()->text().startsWith("8행에서 멈춤: OUT \"b\""));
    EXPECT_TRUE(WaitFor([&] { return frame->StatusBar()->RunningPane()->Text() == "멈춤"; }));
    EXPECT_TRUE(Frame()->Action(ID_SCRIPT_CONTINUE)->isEnabled());
    EXPECT_TRUE(WaitFor([&] { return QApplication::focusWidget() == edit; }));

    // Each key, and where the script stops after it: F10 runs OUT "b" and the pass ends, so
    // the next one stops at its first command; from the watch window the keys work the same.
    const struct
    {
        int key;
        bool inWatch;
        int line;
        const char* received;
        const char* n;
    } keys[] = {
        {Qt::Key_F10, false, 6, "ab", "1"},
        {Qt::Key_F10, false, 7, "ab", "2"},
        {Qt::Key_F10, true, 8, "aba", "2"},
        {Qt::Key_F5, false, 8, "ababa", "3"},
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(k.line);
        if (k.inWatch) {
            ASSERT_NE(view->WatchDialog(), nullptr);
            view->WatchDialog()->activateWindow();
            view->WatchDialog()->findChild<QAbstractScrollArea*>()->setFocus();
        }
        Press(k.key);
        EXPECT_FALSE(view->IsPaused()) << "it runs on at once";
        ASSERT_TRUE(WaitStopped(view, k.line));
        EXPECT_TRUE(WaitFor([&] { return device.Received() == k.received; }))
            << device.Received().toStdString();
        EXPECT_EQ(PaneCell(view, "N", CScriptDebugPane::kValue), k.n);
    }

    // A value changed while stopped is the one the script goes on with.
    QTreeWidgetItem* n = view->DebugPane()->Row("N");
    ASSERT_NE(n, nullptr);
    n->setText(CScriptDebugPane::kValue, "0FFH");
    ASSERT_TRUE(WaitFor([&] { return PaneCell(view, "N", CScriptDebugPane::kValue) == "255"; }));
    EXPECT_EQ(PaneCell(view, "N", CScriptDebugPane::kHex), "000000FF");
    view->DebugPane()->Row("N")->setText(CScriptDebugPane::kValue, "lots");
    EXPECT_TRUE(view->DebugPane()->StateLabel()->text().contains("숫자가 아닙니다"));
    edit->setFocus();
    Press(Qt::Key_F5);
    ASSERT_TRUE(WaitStopped(view, 8));
    EXPECT_EQ(PaneCell(view, "N", CScriptDebugPane::kValue), "256");

    Press(Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_FALSE(view->IsRunning());
    EXPECT_FALSE(view->IsPaused());
    EXPECT_EQ(edit->StopLine(), 0);
    EXPECT_TRUE(view->DebugPane()->StateLabel()->text().startsWith("실행이 끝났습니다."));
    EXPECT_EQ(PaneCell(view, "N", CScriptDebugPane::kValue), "256") << "left for reading";
    EXPECT_EQ(edit->GetText(), text) << "no key was typed into the script";

    // F10 with nothing running starts the run stopped before its first command.
    Press(Qt::Key_F10);
    ASSERT_TRUE(view->IsRunning());
    ASSERT_TRUE(WaitStopped(view, 6));
    EXPECT_EQ(PaneCell(view, "N", CScriptDebugPane::kValue), "0");
    view->OnScriptStop();
}

TEST_F(ScriptDebugTest, AnArraysBytesAfterInFromASerialDeviceAreShownInHexAndAsText)
{
    PtyPair pty;
    ScopedEnv port("TARVEN_COM1", pty.SlavePath().c_str());
    CScriptEditView* view = NewScript("OPEN MEDIA RS232C\nOPEN PORT COM1\nOPEN BAUD_RATE 9600\n"
                                      "DIM BUF$ 32\nVAR GOT% 0\nEQU ASK \"ID?<0D>\"\n"
                                      "BEGIN:\n"        // 7
                                      "  IN BUF, GOT\n" // 8
                                      "  CMP GOT, 0\n"  // 9
                                      "  JPE END\n"     // 10
                                      "  PRINT BUF\n"   // 11
                                      "END:\n");
    ClickMargin(view->Edit(), 11);
    view->OnScriptContinue();
    ASSERT_TRUE(view->IsRunning()) << Output(view).toStdString();
    ASSERT_TRUE(WaitFor([&] { return view->Decode() && view->Decode()->IsRunning(); }));
    // The NUL byte at the end never reaches a script.
    pty.Send(std::string("\x02OK \xED\x95\x9C\r\n\x9B", 11));
    ASSERT_TRUE(WaitStopped(view, 11));
    const struct
    {
        QString name;
        const char* kind;
        const char* value;
        const char* hex;
    } rows[] = {
        {CScriptDebugPane::RowReceived(), "10 바이트", "<02>OK 한<0D><0A><9B>",
         "02 4F 4B 20 ED 95 9C 0D 0A 9B"},
        {"BUF", "DIM byte[32]", "<02>OK 한<0D><0A><9B>", "02 4F 4B 20 ED 95 9C 0D 0A 9B"},
        {"GOT", "VAR long", "10", "0000000A"},
        {"ASK", "EQU", "ID?<0D>", "49 44 3F 3C 30 44 3E"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        EXPECT_EQ(PaneCell(view, row.name, CScriptDebugPane::kKind), QString::fromUtf8(row.kind));
        EXPECT_EQ(PaneCell(view, row.name, CScriptDebugPane::kValue), QString::fromUtf8(row.value));
        EXPECT_EQ(PaneCell(view, row.name, CScriptDebugPane::kHex), QString::fromUtf8(row.hex));
    }
    view->OnScriptStop();
}

TEST_F(ScriptDebugTest, ALinkLostWhileStoppedEndsTheRunCleanly)
{
    EchoDevice device;
    CScriptEditView* view =
        NewScript(TcpHeader(device.Port()) + "VAR N% 0\nBEGIN:\n  INC N\n  OUT \"x\"\nEND:\n");
    ClickMargin(view->Edit(), 7);
    view->OnScriptContinue();
    ASSERT_TRUE(WaitStopped(view, 7));
    const QPointer<CDecodeCtrl> host(view->Decode());
    device.Hangup();
    ASSERT_TRUE(WaitFor([&] { return !view->IsRunning(); }));
    EXPECT_TRUE(host.isNull()) << "stopped, its thread joined and gone";
    EXPECT_FALSE(view->IsPaused());
    EXPECT_EQ(view->Edit()->StopLine(), 0);
    EXPECT_TRUE(Output(view).endsWith("\nStopped...\n")) << Output(view).toStdString();
    EXPECT_TRUE(Frame()->Action(ID_SCRIPT_RUN)->isEnabled());
    EXPECT_TRUE(device.Received().isEmpty()) << "the command stopped at never ran";
}
