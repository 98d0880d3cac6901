#include "MonitorTestEnv.h"

#include "CCaptureNameDlg.h"
#include "CElidedLabel.h"
#include "CFindBar.h"
#include "CPortSettingsDlg.h"
#include "CReplayBar.h"
#include "CReplayWindow.h"
#include "SystemErrorText.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTranslator>

#include <cerrno>

namespace {

// Every text of the widget's visible labels, buttons and panes in the room it asks for, so
// nothing is cut short; each fault names the text.
QStringList TextsCutShort(const QWidget& root)
{
    QStringList faults;
    const auto check = [&faults](const QWidget* widget, const QString& text) {
        if (widget->isVisible() && !text.isEmpty() && widget->width() < widget->sizeHint().width())
            faults << QStringLiteral("%1 (%2 < %3 px)")
                          .arg(text)
                          .arg(widget->width())
                          .arg(widget->sizeHint().width());
    };
    for (const QLabel* label : root.findChildren<QLabel*>())
        check(label, label->text());
    for (const QAbstractButton* button : root.findChildren<QAbstractButton*>())
        check(button, button->text());
    for (const QComboBox* box : root.findChildren<QComboBox*>())
        check(box, box->currentText());
    for (const CElidedLabel* pane : root.findChildren<CElidedLabel*>()) {
        if (pane->isVisible() && pane->ShownText() != pane->text())
            faults << pane->text() + QStringLiteral(" shown as ") + pane->ShownText();
    }
    return faults;
}

// The program's English, installed for one test only: the other tests read the Korean.
class EnglishLayoutTest : public MonitorTest
{
protected:
    void SetUp() override
    {
        MonitorTest::SetUp();
        ASSERT_TRUE(m_english.load(QStringLiteral(":/i18n/tarven_en.qm")));
        QCoreApplication::installTranslator(&m_english);
    }
    void TearDown() override
    {
        QCoreApplication::removeTranslator(&m_english);
        MonitorTest::TearDown();
    }

    QTranslator m_english;
};

} // namespace

TEST_F(EnglishLayoutTest, WindowsAndDialogsSpeakEnglishAndShowEveryTextWhole)
{
    SetValue("Interface", 2); // UDP: the remote labels, the local port
    QSettings stored(kCompanyName, kApplicationName);
    CPortSettingsDlg settings(LinkSettings::Load(stored));
    settings.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&settings));
    EXPECT_EQ(settings.windowTitle(), "Port Settings");
    QStringList labels;
    for (const QLabel* label : settings.findChildren<QLabel*>())
        labels << label->text();
    for (const char* text : {"Remote port", "Remote IP", "Local port (UDP)", "Flow control"})
        EXPECT_TRUE(labels.contains(text)) << text;
    EXPECT_EQ(TextsCutShort(settings).join('|'), "");

    // A short folder: the dialog's width is its own.
    CCaptureNameDlg name("/g", nullptr);
    name.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&name));
    EXPECT_EQ(name.windowTitle(), "Capture File Name");
    EXPECT_EQ(TextsCutShort(name).join('|'), "");
    // Room for the title too, with the program's name, the window's icon and three buttons
    // beside it: a window manager cuts a title wider than its window.
    const QFontMetrics metrics = name.fontMetrics();
    EXPECT_GE(name.width(),
              metrics.horizontalAdvance(name.windowTitle() + " - TARVEN") + 4 * metrics.height());

    // The system's reasons are the program's words, as the rest.
    EXPECT_EQ(SystemErrorText(ENOENT), "No such file or device");
    EXPECT_TRUE(
        SystemErrorText(ENOEXEC).endsWith(QStringLiteral("(error number %1)").arg(ENOEXEC)));

    // The monitor with its find bar, and the replay window.
    SetValue("Interface", 0);
    CTARVENView* view = NewMonitor();
    auto* window = qobject_cast<CMonitorWindow*>(view->window());
    ASSERT_NE(window, nullptr);
    // As wide as a monitor in a main window of 1024 pixels; narrower, the panes shorten by
    // design, in either language.
    window->resize(1000, 500);
    CFindBar* find = window->FindBar();
    find->Open();
    find->Field()->setText("zzz");
    find->FindNext(true);
    EXPECT_EQ(find->CountText(), "Not found");
    view->OnHexView();
    find->Field()->setText("0D 0");
    EXPECT_EQ(find->CountText(), "Invalid pattern");
    QCoreApplication::processEvents();
    EXPECT_EQ(TextsCutShort(*window).join('|'), "");

    const QByteArray file =
        CaptureFormat::EncodeHeader(0) + EncodedRecord(0, "OK\r\n", kAttrReceived);
    CReplayWindow replay;
    ASSERT_EQ(replay.Open(MakeFile("session.tvn", file)), CaptureStatus::Ok);
    replay.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&replay));
    EXPECT_EQ(replay.windowTitle(), "Replay - session.tvn");
    EXPECT_EQ(TextsCutShort(replay).join('|'), "");
}
