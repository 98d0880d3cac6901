#include "MonitorTestEnv.h"

#include "CCaptureSession.h"
#include "CaptureNameDlgIds.h"
#include "DialogControls.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

class CaptureTest : public MonitorTest
{
protected:
    QString CaptureDir() const { return Path("home/TARVEN/Galmuri"); }
};

} // namespace

TEST_F(CaptureTest, BytesReceivedDuringACaptureAreTheFilesBytesAndShowAgainWithoutTimes)
{
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    pty.Send("before\r\n");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 8; }));

    // Automatic names: the folders are made and the file is named after the document. Shown
    // arrival times stay out of the file.
    ASSERT_FALSE(QDir(Path("home/TARVEN")).exists());
    view->OnTimeStamps();
    view->OnCapture();
    ASSERT_TRUE(view->IsCapturing());
    EXPECT_TRUE(Pane(view, 3).endsWith(" (갈무리)"));
    std::string payload;
    for (int i = 0; i < 3000; ++i)
        payload += char(i % 251);
    pty.Send(payload);
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 8 + qint64(payload.size()); }));
    view->OnCapture();
    EXPECT_FALSE(view->IsCapturing());
    const QString file = CaptureDir() + "/Tvn1.tvn";
    ASSERT_TRUE(QFile::exists(file));

    CTARVENView* viewer = NewMonitor("Tvn2");
    ASSERT_EQ(viewer->Capture()->Show(file), 0);
    EXPECT_EQ(Shown(*viewer), QByteArray::fromStdString(payload));
    EXPECT_EQ(Attributes(*viewer), QByteArray(qsizetype(payload.size()), kAttrReceived));
    EXPECT_TRUE(viewer->TextView()->ArrivalStamps().empty());
    EXPECT_EQ(viewer->Received(), qint64(payload.size()));
    EXPECT_EQ(viewer->Lines(), viewer->TextView()->GetLineSize());
    EXPECT_TRUE(m_messages.texts.isEmpty());
}

TEST_F(CaptureTest, NameDialogAddsTheExtensionOnlyToANameWithoutOne)
{
    SetValue("GalmuriFileCreate", 0);
    CTARVENView* view = NewMonitor();
    const struct
    {
        QString typed;
        QString file;
    } cases[] = {{"log", "log.tvn"}, {"log.txt", "log.txt"}};
    for (const auto& c : cases) {
        QString folderShown;
        m_onDialog = [&](QDialog* dialog) {
            folderShown =
                dialog->findChild<QLabel*>(ControlName(CaptureNameDlgIds::IDC_FOLDER))->text();
            EXPECT_EQ(dialog->findChild<QLineEdit*>(ControlName(CaptureNameDlgIds::IDC_FILE_NAME))
                          ->text(),
                      "Galmuri001.tvn");
            dialog->findChild<QLineEdit*>(ControlName(CaptureNameDlgIds::IDC_FILE_NAME))
                ->setText(c.typed);
            dialog->accept();
        };
        view->OnCapture();
        ASSERT_TRUE(view->IsCapturing()) << c.typed.toStdString();
        WriteSent(*view, "x");
        view->OnCapture();
        EXPECT_EQ(folderShown, CaptureDir());
        EXPECT_TRUE(QFile::exists(CaptureDir() + "/" + c.file)) << c.file.toStdString();
    }
    // Cancelled: no capture and no file.
    m_onDialog = [](QDialog* dialog) { dialog->reject(); };
    view->OnCapture();
    EXPECT_FALSE(view->IsCapturing());
    EXPECT_EQ(QDir(CaptureDir()).entryList(QDir::Files).size(), 2);
}

TEST_F(CaptureTest, FileThatIsNoCaptureAndACaptureThatCannotBeWrittenAreReported)
{
    CTARVENView* view = NewMonitor();
    WriteSent(*view, "kept");
    EXPECT_EQ(view->Capture()->Show(MakeFile("notes.tvn", "just some text\n")), -2);
    EXPECT_EQ(m_messages.texts, QStringList{"TARVEN 파일이 아닙니다."});
    EXPECT_EQ(m_messages.captions, QStringList{"갈무리파일"});
    EXPECT_EQ(Shown(*view), "kept");

    // The root path names a file, so the capture folder cannot be made below it.
    m_messages.texts.clear();
    SetValue("RootPath", MakeFile("blocker"));
    view = NewMonitor("Tvn2");
    view->OnCapture();
    EXPECT_FALSE(view->IsCapturing());
    ASSERT_EQ(m_messages.texts.size(), 1);
    EXPECT_TRUE(m_messages.texts[0].startsWith("갈무리를 할 수 없습니다."));
}

TEST_F(CaptureTest, DamagedCaptureIsShownWithANoticeAndContinuedWithoutLoss)
{
    CTARVENView* view = NewMonitor("Tvn1");
    view->OnCapture();
    WriteSent(*view, "kept\r\n");
    view->OnCapture();
    const QString file = CaptureDir() + "/Tvn1.tvn";
    const QByteArray tail("\x10\x27\x00\x00 a record cut short", 23);
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::Append));
    damaged.write(tail);
    damaged.close();

    CTARVENView* viewer = NewMonitor("Tvn2");
    ASSERT_EQ(viewer->Capture()->Show(file), 0);
    EXPECT_EQ(Shown(*viewer), "kept\r\n");
    EXPECT_EQ(m_messages.texts, QStringList{"손상된 기록 1개를 건너뛰었습니다"});
    EXPECT_EQ(m_messages.captions, QStringList{"갈무리파일"});

    // Capturing again onto the file keeps the damaged bytes beside it.
    view->OnCapture();
    ASSERT_TRUE(view->IsCapturing());
    EXPECT_FALSE(WaitForDialog([&] { view->Capture()->Choose(); }, 200))
        << "no file dialog while capturing";
    view->OnCapture();
    QFile aside(file + ".damaged");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), tail);
}

TEST_F(CaptureTest, ABigCaptureIsReadWhileTheWindowGoesOnAndMayBeCancelled)
{
    // Past what is shown at once, with one damaged record.
    QByteArray file = CaptureFormat::EncodeHeader(0);
    QByteArray content;
    for (int i = 0; i < 40; ++i) {
        const QByteArray chunk = QByteArray("line ").repeated(8 * 1024) + "\r\n";
        QByteArray record = EncodedRecord(1'700'000'000'000 + i, chunk, kAttrReceived);
        if (i == 7)
            record[200] = '#';
        else
            content += chunk;
        file += record;
    }
    ASSERT_GT(file.size(), kCaptureShowAtOnceBytes);
    const QString path = MakeFile("big.tvn", file);
    CTARVENView* view = NewMonitor();
    WriteSent(*view, "kept");
    const qint64 sent = view->Sent();

    // Cancelled: the window shows and counts what it did before, and tells nothing.
    ASSERT_EQ(view->Capture()->Show(path), 1);
    auto* cancel = view->TextView()->findChild<QToolButton*>("CaptureLoadCancel");
    ASSERT_NE(cancel, nullptr);
    ASSERT_TRUE(WaitFor([&] { return cancel->isVisible(); }));
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_FALSE(view->TextView()->IsLoadingCapture());
    EXPECT_EQ(Shown(*view), "kept");
    EXPECT_TRUE(view->Capture()->Shown().isEmpty());
    EXPECT_EQ(view->Sent(), sent);
    EXPECT_TRUE(m_messages.texts.isEmpty());

    // Read to the end: shown and counted as a small file is, with the notice of the damage.
    ASSERT_EQ(view->Capture()->Show(path), 1);
    ASSERT_TRUE(WaitFor([&] { return !view->Capture()->Shown().isEmpty(); }));
    EXPECT_EQ(view->Capture()->Shown(), path);
    EXPECT_EQ(Shown(*view), content);
    EXPECT_EQ(view->Received(), content.size());
    EXPECT_EQ(view->Lines(), view->TextView()->GetLineSize());
    EXPECT_EQ(m_messages.texts, QStringList{"손상된 기록 1개를 건너뛰었습니다"});
}

TEST_F(CaptureTest, WithTheEchoOffWhatWasSentIsCapturedThoughNotShown)
{
    SetValue("Echo", 0);
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    view->OnCapture();
    ASSERT_TRUE(view->IsCapturing());
    ASSERT_EQ(view->Link()->Send("AT\r"), 3);
    EXPECT_EQ(pty.Receive(3, std::chrono::seconds(5)), "AT\r");
    pty.Send("OK\r\n");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 4; }));
    EXPECT_EQ(Shown(*view), "OK\r\n");
    view->OnCapture();

    // The file holds the session both ways, as a served device or a replay needs it.
    CTARVENView* viewer = NewMonitor("Tvn2");
    ASSERT_EQ(viewer->Capture()->Show(CaptureDir() + "/Tvn1.tvn"), 0);
    EXPECT_EQ(Shown(*viewer), "AT\rOK\r\n");
    EXPECT_EQ(Attributes(*viewer), QByteArray(3, kAttrSent) + QByteArray(4, kAttrReceived));
}
