#include "CCmdListDlg.h"
#include "CCmdListGrid.h"
#include "CmdListConstants.h"
#include "FileDialogChoice.h"
#include "LittleEndianBytes.h"
#include "MonitorTestEnv.h"
#include "RepeatFile.h"

#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

class CmdListFileTest : public MonitorTest
{
protected:
    void SetUp() override
    {
        MonitorTest::SetUp();
        m_panel = std::make_unique<CCmdListDlg>(CCmdListDlg::TargetSource());
        m_panel->resize(600, 300);
        m_panel->show();
    }

    CCmdListGrid* Grid() const { return m_panel->Grid(); }
    static QString LastFileName()
    {
        return QSettings(kCompanyName, kApplicationName).value("CmdList/LastFileName").toString();
    }
    void Fill()
    {
        Grid()->SetRows({{"AT<0D><0A>", QStringLiteral("모뎀 확인")},
                         {"", "no text"},
                         {QString(70000, QLatin1Char('x')), ""}});
        Grid()->AppendRow();
        Grid()->item(200, kTextColumn)->setText(QStringLiteral("똠<0D>"));
    }

    std::unique_ptr<CCmdListDlg> m_panel;
};

} // namespace

TEST_F(CmdListFileTest, SaveThenLoadGivesTheSameListAndBytesAndDamagedFilesChangeNothing)
{
    // Untouched, the list is its count and empty strings.
    ASSERT_TRUE(m_panel->SaveFile(Path("empty.TCF")));
    EXPECT_EQ(TempDir::Read(Path("empty.TCF")), Le32(200) + QByteArray(400, '\0'));
    EXPECT_EQ(LastFileName(), Path("empty.TCF"));
    EXPECT_EQ(m_panel->FileNameBox()->text(), Path("empty.TCF"));

    Fill();
    const CommandRows rows = Grid()->Rows();
    ASSERT_TRUE(m_panel->SaveFile(Path("list.TCF")));
    const QByteArray saved = TempDir::Read(Path("list.TCF"));
    EXPECT_EQ(saved.left(4), Le32(201));

    m_panel->OnClearList();
    EXPECT_EQ(Grid()->Rows(), CommandRows(201));
    ASSERT_TRUE(m_panel->LoadFile(Path("list.TCF")));
    EXPECT_EQ(Grid()->Rows(), rows);
    // The file used last is loaded again when a panel is created.
    CCmdListDlg next{CCmdListDlg::TargetSource()};
    ASSERT_TRUE(WaitFor([&] { return next.Grid()->Rows() == rows; }));
    EXPECT_EQ(next.FileNameBox()->text(), Path("list.TCF"));

    // A damaged file leaves the list as it was and is named; a missing one, in silence.
    const QString damaged =
        MakeFile("damaged.TCF", Le32(2) + QByteArray("\x02OK\x00", 4) + "\x09" + "cut");
    EXPECT_FALSE(m_panel->LoadFile(damaged));
    ASSERT_EQ(m_messages.texts.size(), 1);
    EXPECT_TRUE(m_messages.texts[0].startsWith("명령 파일이 손상되었습니다: " + damaged));
    EXPECT_TRUE(m_messages.texts[0].contains("전송 2"));
    EXPECT_FALSE(m_panel->LoadFile(Path("missing.TCF")));
    EXPECT_EQ(m_messages.texts.size(), 1);
    EXPECT_EQ(Grid()->Rows(), rows);
    EXPECT_EQ(LastFileName(), Path("list.TCF"));
    EXPECT_EQ(m_panel->FileNameBox()->text(), Path("list.TCF"));
    ASSERT_TRUE(m_panel->SaveFile(Path("again.TCF")));
    EXPECT_EQ(TempDir::Read(Path("again.TCF")), saved);

    // A shorter file leaves the remaining rows empty and the row count as it is.
    const QString shortFile = MakeFile("short.tcf", Le32(1) + QByteArray("\x02OK\x00", 4));
    ASSERT_TRUE(m_panel->LoadFile(shortFile));
    EXPECT_EQ(Grid()->rowCount(), 201);
    EXPECT_EQ(Grid()->Text(0, kTextColumn), "OK");
    EXPECT_EQ(Grid()->Text(1, kDescriptionColumn), "");
    EXPECT_EQ(LastFileName(), shortFile);
    EXPECT_EQ(m_panel->FileNameBox()->text(), shortFile);
    EXPECT_EQ(m_messages.texts.size(), 1);
}

TEST_F(CmdListFileTest, FailedSavesKeepTheOldFileAndSaySo)
{
    const QString path = MakeFile("kept.TCF", "old contents");

    // A character that code page 949 lacks: refused before anything is written.
    Grid()->item(4, kDescriptionColumn)->setText(QStringLiteral("smile \U0001F600"));
    EXPECT_FALSE(m_panel->SaveFile(path));
    ASSERT_EQ(m_messages.texts.size(), 1);
    EXPECT_TRUE(m_messages.texts[0].contains("전송 5"));
    EXPECT_EQ(TempDir::Read(path), "old contents");
    Grid()->item(4, kDescriptionColumn)->setText("smile");

    // The disk takes no more than 100 bytes: the write fails part way, the old file stays.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = m_panel->SaveFile(path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(m_messages.texts.value(1), "파일 저장에 실패하였습니다...");
    EXPECT_EQ(TempDir::Read(path), "old contents");
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files), QStringList{"kept.TCF"});

    EXPECT_FALSE(m_panel->SaveFile(Path("no such folder/list.TCF")));
    EXPECT_EQ(m_messages.texts.value(2), "파일 저장에 실패하였습니다...");
    EXPECT_TRUE(LastFileName().isEmpty());
    EXPECT_TRUE(m_panel->FileNameBox()->text().isEmpty());
}

TEST_F(CmdListFileTest, MenuCommandsOpenFileDialogsInTheCommandFolder)
{
    const QString root = Path("bench root");
    SetValue("RootPath", root);
    const QString folder = root + "/Command";
    ASSERT_FALSE(QDir(folder).exists());
    Grid()->item(0, kTextColumn)->setText("ATI");

    // Save: the folder is made, the name gets the command file extension.
    QString shownFolder;
    m_onDialog = [&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(files, nullptr);
        shownFolder = files->directory().absolutePath();
        ChooseFile(files, "bench");
    };
    QMenu* menu = Grid()->ContextMenu();
    ASSERT_TRUE(WaitForDialog([&] { menu->findChild<QAction*>("32798")->trigger(); }));
    EXPECT_EQ(shownFolder, folder);
    ASSERT_TRUE(WaitFor([&] { return LastFileName() == folder + "/bench.TCF"; }));
    EXPECT_EQ(TempDir::Read(folder + "/bench.TCF").size(), 404 + 3);

    // Clear, then load what was saved; the dialog starts at the file used last.
    ASSERT_TRUE(menu->findChild<QAction*>("32795")->isEnabled());
    menu->findChild<QAction*>("32795")->trigger();
    ASSERT_TRUE(WaitFor([&] { return Grid()->Text(0, kTextColumn).isEmpty(); }));
    QStringList preselected;
    m_onDialog = [&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(files, nullptr);
        preselected = files->selectedFiles();
        static_cast<QDialog*>(files)->accept(); // through QDialog, where it is public
    };
    ASSERT_TRUE(WaitForDialog([&] { menu->findChild<QAction*>("32797")->trigger(); }));
    ASSERT_TRUE(WaitFor([&] { return Grid()->Text(0, kTextColumn) == "ATI"; }));
    EXPECT_EQ(preselected, QStringList{folder + "/bench.TCF"});

    // The same name again: the file it means exists, so the user is asked first.
    Grid()->item(0, kTextColumn)->setText("ATI2");
    m_onDialog = [&](QDialog* dialog) { ChooseFile(qobject_cast<QFileDialog*>(dialog), "bench"); };
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        m_messages.answer = answer;
        const qsizetype asked = m_messages.texts.size();
        ASSERT_TRUE(WaitForDialog([&] { menu->findChild<QAction*>("32798")->trigger(); }));
        ASSERT_TRUE(WaitFor([&] { return m_messages.texts.size() > asked; }));
        EXPECT_EQ(m_messages.texts.last(),
                  folder + "/bench.TCF 파일이 이미 있습니다.\n바꾸시겠습니까?");
        const auto saved = [&] { return TempDir::Read(folder + "/bench.TCF").contains("ATI2"); };
        if (answer == QMessageBox::Yes)
            EXPECT_TRUE(WaitFor(saved));
        else
            EXPECT_FALSE(saved());
    }

    // Cancelled: nothing changes.
    m_onDialog = nullptr;
    Grid()->item(0, kTextColumn)->setText("changed");
    ASSERT_TRUE(WaitForDialog([&] { menu->findChild<QAction*>("32797")->trigger(); }));
    EXPECT_EQ(Grid()->Text(0, kTextColumn), "changed");
}

TEST_F(CmdListFileTest, PeriodsRoundTripThroughTheSideFileAndTheCommandFileKeepsItsBytes)
{
    Fill();
    const QString path = Path("repeats.TCF");
    ASSERT_TRUE(m_panel->SaveFile(path));
    const QByteArray plain = TempDir::Read(path);
    EXPECT_FALSE(QFile::exists(path + ".json")) << "no periods, no side file";

    Grid()->SetPeriods({250, 0, 0});
    Grid()->item(200, kPeriodColumn)->setText("10");
    const QList<int> periods = Grid()->Periods();
    ASSERT_TRUE(m_panel->SaveFile(path));
    EXPECT_EQ(TempDir::Read(path), plain);
    const QJsonObject side = QJsonDocument::fromJson(TempDir::Read(path + ".json")).object();
    EXPECT_EQ(side["version"].toInt(), 1);
    EXPECT_EQ(side["repeats"].toArray().size(), 2);
    EXPECT_EQ(side["repeats"][0]["row"].toInt(), 1);
    EXPECT_EQ(side["repeats"][0]["text"].toString(), "AT<0D><0A>");
    EXPECT_EQ(side["repeats"][0]["periodMs"].toInt(), 250);

    m_panel->OnClearList();
    EXPECT_EQ(Grid()->Periods(), QList<int>(201, 0));
    ASSERT_TRUE(m_panel->LoadFile(path));
    EXPECT_EQ(Grid()->Periods(), periods);
    EXPECT_TRUE(m_messages.texts.isEmpty());

    // A row whose text was changed behind the side file's back loses its period, quietly.
    CommandRows rows = Grid()->Rows();
    rows[0].text = "ATZ";
    ASSERT_EQ(WriteCommandFile(path, rows).status, CommandFileWrite::Saved);
    ASSERT_TRUE(m_panel->LoadFile(path));
    EXPECT_EQ(Grid()->Period(0), 0);
    EXPECT_EQ(Grid()->Period(200), 10);
    EXPECT_TRUE(m_messages.texts.isEmpty());

    // Without periods the side file goes, so no stale one is left behind.
    Grid()->SetPeriods({});
    ASSERT_TRUE(m_panel->SaveFile(path));
    EXPECT_FALSE(QFile::exists(path + ".json"));
}

TEST_F(CmdListFileTest, ADamagedSideFileLoadsTheListWithoutPeriodsAndSaysWhy)
{
    const QString path = MakeFile("side.TCF", Le32(2) + "\x02OK\x01Z" + QByteArray(2, '\0'));
    const QByteArray entry = R"({"row": 1, "text": "OK", "periodMs": 100})";
    const QByteArray damaged[] = {
        "{",
        "[]",
        R"({"version": 2, "repeats": []})",
        R"({"version": 1})",
        R"({"version": 1, "repeats": [)" + entry + "," + entry + "]}",
        R"({"version": 1, "repeats": [{"row": 3, "text": "", "periodMs": 100}]})",
        R"({"version": 1, "repeats": [{"row": 1, "text": "OK", "periodMs": 5}]})",
        R"({"version": 1, "repeats": [{"row": 1, "text": "OK", "periodMs": 100.5}]})",
        R"({"version": 1, "repeats": [{"row": 1, "periodMs": 100}]})",
        R"({"version": 1, "repeats": [7]})",
    };
    // A side file that is no regular file, or too large, is not read: a FIFO nobody writes
    // is not waited for, /dev/zero not read without end.
    const QString side = path + ".json";
    std::vector<std::function<bool()>> makers = {
        [&] { return ::mkfifo(QFile::encodeName(side).constData(), 0600) == 0; },
        [&] { return QFile::link("/dev/zero", side); },
        [&] { return QDir().mkdir(side); },
        [&] { return !MakeFile("side.TCF.json", QByteArray(1024 * 1024 + 1, ' ')).isEmpty(); },
    };
    const size_t hostile = makers.size();
    for (const QByteArray& text : damaged)
        makers.push_back([this, text] { return !MakeFile("side.TCF.json", text).isEmpty(); });
    for (size_t i = 0; i < makers.size(); ++i) {
        SCOPED_TRACE(i < hostile ? std::to_string(i) : damaged[i - hostile].toStdString());
        QFile::remove(side);
        QDir().rmdir(side);
        ASSERT_TRUE(makers[i]());
        Grid()->SetPeriods({500, 500});
        m_messages.texts.clear();
        EXPECT_TRUE(m_panel->LoadFile(path));
        EXPECT_EQ(Grid()->Text(0, kTextColumn), "OK");
        EXPECT_EQ(Grid()->Periods(), QList<int>(200, 0));
        ASSERT_EQ(m_messages.texts.size(), 1);
        EXPECT_TRUE(m_messages.texts[0].startsWith(
            "반복 설정 파일이 손상되어 반복 설정 없이 불러왔습니다: " + side + "\n"))
            << m_messages.texts[0].toStdString();
    }
    QFile::remove(side);

    MakeFile("side.TCF.json", R"({"version": 1, "repeats": [)" + entry + "]}");
    m_messages.texts.clear();
    ASSERT_TRUE(m_panel->LoadFile(path));
    EXPECT_EQ(Grid()->Period(0), 100);
    EXPECT_TRUE(m_messages.texts.isEmpty());

    // A side file without its command file loads nothing, and says nothing either.
    MakeFile("orphan.TCF.json", "{");
    EXPECT_FALSE(m_panel->LoadFile(Path("orphan.TCF")));
    EXPECT_TRUE(m_messages.texts.isEmpty());
    EXPECT_EQ(Grid()->Period(0), 100);
}
