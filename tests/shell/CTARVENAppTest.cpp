#include "CTARVENApp.h"
#include "CChildFrame.h"
#include "CDocManager.h"
#include "CDocTemplate.h"
#include "CDocument.h"
#include "CMainFrame.h"
#include "CMdiClientWnd.h"
#include "CSingleInstance.h"
#include "CSplashWnd.h"
#include "CommandIds.h"
#include "FileDialogChoice.h"
#include "ShellTestEnv.h"

#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QTimer>

#include <QFileInfo>
#include <QTest>
#include <memory>

using ApplicationTest = ShellTest;

TEST_F(ApplicationTest, NewDocumentsAreNumberedPerTypeAndLiveAsLongAsTheirWindow)
{
    auto app = StartApp();
    EXPECT_EQ(app->SplashWnd(), nullptr);
    EXPECT_TRUE(app->MainFrame()->MdiClient()->subWindowList().isEmpty());
    // The editor library's version and path are known.
    EXPECT_TRUE(
        QRegularExpression("^\\d+\\.\\d+\\.\\d+\\.\\d+$").match(app->m_strEditorVersion).hasMatch())
        << app->m_strEditorVersion.toStdString();
    EXPECT_TRUE(QFileInfo(app->m_strEditorPath).isFile()) << app->m_strEditorPath.toStdString();
    EXPECT_TRUE(app->m_strEditorPath.contains("qscintilla"));
    EXPECT_FALSE(app->m_strEditorProduct.isEmpty());

    const std::pair<const char*, const char*> cases[] = {
        {"Tvn", "Tvn1"}, {"Script", "Script1"}, {"Tvn", "Tvn2"}, {"Script", "Script2"}};
    for (const auto& [type, title] : cases) {
        CDocument* document = app->OnFileNew(type);
        ASSERT_NE(document, nullptr) << type;
        EXPECT_EQ(document->Title(), title);
        EXPECT_EQ(document->Frame()->windowTitle(), title);
        EXPECT_EQ(document->Template()->DocName(), type);
    }
    EXPECT_EQ(app->MainFrame()->MdiClient()->subWindowList().size(), 4);
    // Monitor windows carry the lamps; script windows are plain child frames for now.
    EXPECT_NE(qobject_cast<CChildFrame*>(app->OnFileNew("Tvn")->Frame()), nullptr);
    EXPECT_TRUE(m_messages.texts.isEmpty());

    EXPECT_EQ(app->OnFileNew("Bogus"), nullptr);
    EXPECT_EQ(m_messages.texts, QStringList("Bogus 템플리트를 찾을수가 없습니다."));

    const CDocTemplate* monitors = app->DocManager().FindTemplate("Tvn");
    ASSERT_EQ(monitors->Documents().size(), 3);
    monitors->Documents().first()->Frame()->close();
    QTRY_COMPARE_WITH_TIMEOUT(monitors->Documents().size(), 2, 10000);
    EXPECT_EQ(monitors->Documents().first()->Title(), "Tvn2");
}

TEST_F(ApplicationTest, OpenChoosesTheTypeByItsEndingAndBringsAnOpenFileOrTheFirstCopyForward)
{
    auto app = StartApp();
    const std::pair<const char*, const char*> cases[] = {
        {"data.tsl", "Script"}, {"DATA.TSL", "Script"}, {"run.Tsl", "Script"},
        {"notsl", "Script"},    {"data.tvn", "Tvn"},    {"data.txt", "Tvn"},
        {"data", "Tvn"},        {"data.tsl.bak", "Tvn"}};
    for (const auto& [name, type] : cases) {
        const QString path = MakeFile(name);
        CDocument* document = app->OpenDocumentFile(path);
        ASSERT_NE(document, nullptr) << name;
        EXPECT_EQ(document->Template()->DocName(), type) << name;
        EXPECT_EQ(document->Title(), name);
        EXPECT_EQ(document->PathName(), QFileInfo(path).absoluteFilePath());
    }
    const int open = app->MainFrame()->MdiClient()->subWindowList().size();
    CDocument* first = app->OpenDocumentFile(Path("data.tsl"));
    EXPECT_EQ(first->Title(), "data.tsl") << "the open document, not a second one";
    EXPECT_EQ(app->MainFrame()->MdiClient()->activeSubWindow(), first->Frame());
    EXPECT_EQ(app->OpenDocumentFile(Path("missing.tsl")), nullptr);
    EXPECT_EQ(app->OpenDocumentFile(m_env.Root()), nullptr);
    EXPECT_EQ(app->MainFrame()->MdiClient()->subWindowList().size(), open);

    // A second copy raises the first and ends.
    ASSERT_TRUE(app->SingleInstance().IsListening());
    app->MainFrame()->showMinimized();
    CSingleInstance second;
    EXPECT_FALSE(second.Claim());
    EXPECT_FALSE(second.IsListening());
    QTRY_VERIFY_WITH_TIMEOUT(!app->MainFrame()->isMinimized(), 10000);
    EXPECT_TRUE(app->MainFrame()->isVisible());
}

TEST_F(ApplicationTest, CommandLineFilesOpenAndAMissingOneIsReportedWhileTheProgramRuns)
{
    const QString script = MakeFile("job.tsl");
    const QString capture = MakeFile("log.tvn");
    auto app = StartApp({script, Path("typo.tsl"), capture});
    EXPECT_TRUE(app->MainFrame()->isVisible());
    EXPECT_EQ(app->MainFrame()->MdiClient()->subWindowList().size(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.texts.size(), 1, 10000);
    EXPECT_TRUE(m_messages.texts[0].contains("파일을 열 수 없습니다."));
    EXPECT_TRUE(m_messages.texts[0].contains("typo.tsl"));
}

TEST_F(ApplicationTest, SplashShowsUnlessTheCommandLineSaysNo)
{
    const std::pair<QStringList, bool> cases[] = {
        {{"tarven"}, true},
        {{"tarven", "--nosplash"}, false},
        {{"tarven", "-nosplash"}, false},
        {{"tarven", "nosplash"}, true},
    };
    for (const auto& [arguments, splash] : cases) {
        EXPECT_EQ(CTARVENApp::ParseCommandLine(arguments).bShowSplash, splash)
            << arguments.join(' ').toStdString();
    }
    EXPECT_EQ(CTARVENApp::ParseCommandLine({"tarven", "a.tsl", "-nosplash", "b.tvn"}).files,
              QStringList({"a.tsl", "b.tvn"}));

    auto app = std::make_unique<CTARVENApp>();
    ASSERT_TRUE(app->InitInstance({"tarven"}));
    ASSERT_NE(app->SplashWnd(), nullptr);
    EXPECT_TRUE(app->SplashWnd()->isVisible());
    QTest::mouseClick(app->SplashWnd(), Qt::LeftButton);
    EXPECT_FALSE(app->SplashWnd()->isVisible());
}

TEST_F(ApplicationTest, ShortcutsCreateDocumentsAndOpenUsesTheChosenFile)
{
    auto app = StartApp();
    CMainFrame* frame = app->MainFrame();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame, 10000));
    QTest::keyClick(frame, Qt::Key_M, Qt::ControlModifier);
    QTest::keyClick(frame, Qt::Key_N, Qt::ControlModifier);
    QStringList titles;
    for (QMdiSubWindow* window : frame->MdiClient()->subWindowList())
        titles << window->windowTitle();
    EXPECT_EQ(titles, QStringList({"Tvn1", "Script1"}));

    const QString path = MakeFile("chosen.TSL");
    QTimer::singleShot(0, [path] {
        ChooseFile(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()), path);
    });
    frame->Action(ID_FILE_OPEN)->trigger();
    QMdiSubWindow* active = frame->MdiClient()->activeSubWindow();
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->windowTitle(), "chosen.TSL");
    EXPECT_EQ(frame->CurrentMenuId(), CMainFrame::kMenuScript);
    EXPECT_TRUE(m_messages.texts.isEmpty());
}
