#include "MonitorTestEnv.h"
#include "PtyPair.h"

#include "CMonitorCommands.h"
#include "CPaneIndicator.h"
#include "CRS232Ctrl.h"
#include "CommandIds.h"

#include <QAction>
#include <QToolBar>

using namespace std::chrono_literals;

namespace {

class LineSignalsTest : public MonitorTest
{
protected:
    static QAction* Button(const CTARVENView* view, int id)
    {
        const auto* window = qobject_cast<const CMonitorWindow*>(view->parentWidget());
        return window != nullptr ? window->ToolBar()->findChild<QAction*>(QString::number(id))
                                 : nullptr;
    }

    // Whether each input line is greyed with tip and unlit.
    static void ExpectLinesGreyed(const CTARVENView* view, const QString& tip)
    {
        for (int i = 0; i < kModemLinePanes; ++i) {
            const CPaneIndicator* pane = view->StatusBar()->LinePane(i);
            EXPECT_TRUE(pane->IsUnavailable()) << pane->Text().toStdString();
            EXPECT_FALSE(pane->IsLit()) << pane->Text().toStdString();
            EXPECT_EQ(pane->toolTip(), tip) << pane->Text().toStdString();
        }
    }
};

} // namespace

TEST_F(LineSignalsTest, PseudoTerminalGreysTheLinesAndTheCommandsAreHarmless)
{
    PtyPair pty;
    SetValue("Interface", 0);
    SetValue("PortName", QString::fromStdString(pty.SlavePath()));
    CTARVENView* view = NewMonitor();
    ExpectLinesGreyed(view, "OFF-LINE");
    QStringList texts;
    for (int i = 0; i < kModemLinePanes + 3; ++i)
        texts << Pane(view, i + 4);
    EXPECT_EQ(texts, QStringList({"Tx", "Rx", "00:00:00", "CTS", "DSR", "DCD", "RI"}));

    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    EXPECT_EQ(view->Link()->SerialPort()->bsHasModemLines(), 0);
    EXPECT_FALSE(view->HasLineSignals());
    ExpectLinesGreyed(view, "지원되지 않음");
    for (int id : {ID_LINE_DTR, ID_LINE_RTS, ID_LINE_BREAK}) {
        ASSERT_NE(Button(view, id), nullptr) << id;
        EXPECT_FALSE(Button(view, id)->isEnabled()) << id;
        EXPECT_FALSE(Button(view, id)->isChecked()) << id;
    }
    EXPECT_TRUE(Button(view, ID_VIEW_TIMESTAMP)->isEnabled());

    // Commands that reach the view anyway change nothing, say nothing and send nothing; nor
    // does a line report, which only a port with modem lines makes.
    view->OnDtr();
    view->OnRts();
    view->OnBreak();
    emit view->Link()->SerialPort()->Notifier()->modemLinesChanged(MS_CTS_ON | MS_RING_ON);
    QCoreApplication::processEvents();
    EXPECT_TRUE(view->IsDtrOn());
    EXPECT_TRUE(view->IsRtsOn());
    ExpectLinesGreyed(view, "지원되지 않음");
    EXPECT_TRUE(m_messages.texts.isEmpty()) << m_messages.texts.join('\n').toStdString();
    EXPECT_EQ(view->TextView()->GetBufferSize(), 0) << "no notice either";
    view->OnChar("z");
    EXPECT_EQ(pty.Receive(1, 10s), "z") << "the first byte at the far end is the typed one";

    // Each time the link comes on-line the lines are looked at again.
    view->OnPortClose();
    ExpectLinesGreyed(view, "OFF-LINE");
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    ExpectLinesGreyed(view, "지원되지 않음");
}

TEST_F(LineSignalsTest, LiveLinesLightAsTheReportedBitsSay)
{
    // A port with modem lines is not here: the bar is driven as the view drives it.
    CTARVENView* view = NewMonitor();
    CMonitorStatusBar* bar = view->StatusBar();
    bar->SetModemLinesUnavailable(QString());
    const struct
    {
        unsigned status;
        QList<bool> lit; // CTS, DSR, DCD, RI
    } cases[] = {
        {0, {false, false, false, false}},
        {MS_CTS_ON, {true, false, false, false}},
        {MS_DSR_ON | MS_RLSD_ON, {false, true, true, false}},
        {MS_RING_ON | MS_DTR_ON | MS_RTS_ON, {false, false, false, true}},
        {MS_CTS_ON | MS_DSR_ON | MS_RING_ON | MS_RLSD_ON, {true, true, true, true}},
    };
    for (const auto& c : cases) {
        bar->SetModemLines(c.status);
        QList<bool> lit;
        for (int i = 0; i < kModemLinePanes; ++i)
            lit << bar->LinePane(i)->IsLit();
        EXPECT_EQ(lit, c.lit) << "status " << c.status;
    }
    EXPECT_EQ(bar->LinePane(0)->toolTip(), "CTS (Clear To Send)");
    // Greyed lines are never lit, whatever was reported last.
    bar->SetModemLinesUnavailable(QStringLiteral("지원되지 않음"));
    ExpectLinesGreyed(view, "지원되지 않음");
}
