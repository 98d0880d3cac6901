#include "CRecentFileList.h"
#include "CScriptCommands.h"
#include "FileDialogChoice.h"
#include "KeyboardInput.h"
#include "ScriptTestEnv.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>

namespace {

// The program with its script editor, shown and active.
class ScriptAppTest : public ScriptProgramTest
{
protected:
    static CScriptEditView* View(CDocument* document)
    {
        return document->Frame()->findChild<CScriptEditView*>();
    }
    // Enabled state of each item of the "SCRIPT" menu shown over view, separators skipped.
    QList<bool> ContextMenuStates(CScriptEditView* view)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                                view->Edit()->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(view->Edit()->viewport(), &event);
        QMenu* menu = m_program->ScriptCommands()->ContextMenu();
        EXPECT_TRUE(menu->isVisible());
        QList<bool> states;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator())
                states << action->isEnabled();
        }
        menu->close();
        return states;
    }
};

} // namespace

TEST_F(ScriptAppTest, PersonWritesFindsAndSavesAScript)
{
    QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(Frame()->MdiClient()->subWindowList().size(), 1);
    auto* edit = qobject_cast<CScriptEditCtrl*>(QApplication::focusWidget());
    ASSERT_NE(edit, nullptr) << "the new script has the keyboard";
    EXPECT_EQ(Frame()->CurrentMenuId(), CMainFrame::kMenuScript);

    Type("PRINT MSG");
    Press(Qt::Key_Return);
    EXPECT_TRUE(edit->GetText().startsWith("PRINT MSG\n//----"));
    EXPECT_TRUE(Frame()->Action(ID_EDIT_UNDO)->isEnabled());

    // Ctrl+F, the text, Enter, then F3: each match in turn, the editor's text untouched.
    CScriptEditView* view = ActiveView();
    Press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([view] {
        const QWidget* focus = QApplication::focusWidget();
        return view->FindDialog() != nullptr && focus != nullptr &&
               focus->window() == view->FindDialog();
    }));
    Type("MSG");
    Press(Qt::Key_Return);
    const QByteArray text = edit->GetText();
    EXPECT_EQ(edit->GetSelectedText(), "MSG");
    EXPECT_EQ(edit->GetSelectionStart(), text.indexOf("MSG", 10));
    Press(Qt::Key_F3);
    EXPECT_EQ(edit->GetSelectionStart(), text.indexOf("MSG", text.indexOf("MSG", 10) + 3));
    EXPECT_EQ(edit->GetText(), text);
    EXPECT_EQ(m_app->m_history.find, QStringList("MSG"));
    Press(Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([edit] { return QApplication::focusWidget() == edit; }));

    // Ctrl+S asks for a name once, adding the script extension; the title becomes the path.
    QTimer::singleShot(0, [this] {
        ChooseFile(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()), Path("first"));
    });
    Press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(Path("first.TSL")); }));
    EXPECT_TRUE(TempDir::Read(Path("first.TSL")).startsWith("PRINT MSG\r\n//----"));
    const CDocument* document = view->Document();
    EXPECT_EQ(document->Title(), QFileInfo(Path("first.TSL")).absoluteFilePath());
    EXPECT_EQ(Frame()->RecentFiles()->Files().value(0), document->Title());
    ASSERT_TRUE(WaitFor([edit] { return QApplication::focusWidget() == edit; }));

    // Typing on at the top, and Ctrl+S saves in place without asking.
    Press(Qt::Key_Home, Qt::ControlModifier);
    Type("X");
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(TempDir::Read(Path("first.TSL")).startsWith("XPRINT MSG\r\n"));
    EXPECT_TRUE(m_messages.texts.isEmpty()) << m_messages.texts.join('\n').toStdString();
}

TEST_F(ScriptAppTest, ScriptMenuFollowsTheSelectionTheClipboardAndTheText)
{
    CScriptEditView* view = View(m_app->OnFileNew("Script"));
    QApplication::clipboard()->clear();
    // Run, stop, delete selection, delete all, watch, continue, step, breakpoint, cut, copy,
    // paste.
    EXPECT_EQ(ContextMenuStates(view), QList<bool>({true, false, false, true, false, true, true,
                                                    true, false, false, false}));
    view->Edit()->SendScintilla(QsciScintillaBase::SCI_SETSEL, 0L, 5L);
    QApplication::clipboard()->setText("OUT");
    EXPECT_EQ(ContextMenuStates(view),
              QList<bool>({true, false, true, true, false, true, true, true, true, true, true}));
    view->OnEditClearAll();
    EXPECT_EQ(ContextMenuStates(view), QList<bool>({true, false, false, false, false, true, true,
                                                    true, false, false, true}));
    EXPECT_TRUE(Frame()->Action(ID_EDIT_UNDO)->isEnabled());
    EXPECT_TRUE(Frame()->Action(ID_FILE_SAVE)->isEnabled());

    // Without a script the script commands rest.
    m_messages.answer = QMessageBox::No;
    Frame()->MdiClient()->closeAllSubWindows();
    ASSERT_TRUE(WaitFor([this] { return Frame()->MdiClient()->subWindowList().isEmpty(); }));
    for (int id : {ID_FILE_SAVE, ID_EDIT_UNDO, ID_EDIT_PASTE, ID_EDIT_FIND, ID_SCRIPT_RUN})
        EXPECT_FALSE(Frame()->Action(id)->isEnabled()) << id;
}

TEST_F(ScriptAppTest, TitlesAreReportedToTheMainFrame)
{
    QSignalSpy added(Frame(), &CMainFrame::scriptTitleAdded);
    QSignalSpy removed(Frame(), &CMainFrame::scriptTitleRemoved);
    CDocument* document = m_app->OnFileNew("Script");
    EXPECT_EQ(added.takeFirst().value(0).toString(), "Script1");

    const QString path = QFileInfo(Path("named.tsl")).absoluteFilePath();
    QTimer::singleShot(0, [path] {
        ChooseFile(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()), path);
    });
    Frame()->Action(ID_FILE_SAVE_AS)->trigger();
    EXPECT_EQ(document->Title(), path);
    EXPECT_EQ(added.takeFirst().value(0).toString(), path);
    EXPECT_EQ(removed.takeFirst().value(0).toString(), "Script1");
    EXPECT_TRUE(document->Frame()->windowTitle().startsWith(path));

    document->Frame()->close();
    EXPECT_EQ(removed.takeFirst().value(0).toString(), path);
    EXPECT_TRUE(added.isEmpty());
    EXPECT_TRUE(removed.isEmpty());
}

TEST_F(ScriptAppTest, OpeningAScriptNamesTheFileAndTheReasonWhenItCannot)
{
    QDir().mkpath(Path("folder.tsl"));
    const QString script = MakeFile("good.tsl", "OUT MSG\r\n");
    const std::pair<QString, QString> cases[] = {
        {Path("missing.tsl"), "해당 파일이나 장치가 없습니다"},
        {Path("folder.tsl"), "일반 파일이 아닙니다."},
    };
    // As a recent file that has gone since, or any other way of opening it.
    for (const auto& [path, reason] : cases) {
        m_messages.texts.clear();
        Frame()->RecentFiles()->Add(path);
        Frame()->RecentFiles()->Actions().first()->trigger();
        ASSERT_EQ(m_messages.texts.size(), 1) << path.toStdString();
        EXPECT_EQ(m_messages.texts[0],
                  QStringLiteral("파일을 열 수 없습니다.\n%1: %2").arg(path, reason));
    }
    EXPECT_TRUE(Frame()->MdiClient()->subWindowList().isEmpty());

    CDocument* document = m_app->OpenDocumentFile(script);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(View(document)->Edit()->GetText(), "OUT MSG\n");
    EXPECT_EQ(Frame()->RecentFiles()->Files().value(0), script);
}

TEST_F(ScriptAppTest, CommandKeysInTheEditorAreNeverTypedAlsoAfterADialog)
{
    PressKey(QKeyCombination(Qt::ControlModifier, Qt::Key_N), Frame());
    auto* edit = qobject_cast<CScriptEditCtrl*>(QApplication::focusWidget());
    ASSERT_NE(edit, nullptr);
    edit->SetText("");
    Type("ab");

    // A modal dialog answered with Escape gives the keyboard back to the editor.
    QTimer::singleShot(0, [] {
        ASSERT_TRUE(WaitFor([] {
            const QWidget* dialog = QApplication::activeModalWidget();
            return dialog != nullptr && QGuiApplication::focusWindow() == dialog->windowHandle();
        }));
        PressKey(Qt::Key_Escape, nullptr);
    });
    Frame()->Action(ID_ENV_SETTINGS)->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), edit);

    // Redo is disabled with nothing to redo: its key does nothing. A new monitor's key opens one,
    // which asks how to connect; the question is put away.
    int asked = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&asked] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
            ++asked;
        }
    });
    answer.start(10);
    ASSERT_FALSE(Frame()->Action(ID_EDIT_REDO)->isEnabled());
    PressKey(QKeyCombination(Qt::ControlModifier, Qt::Key_Y), Frame());
    PressKey(QKeyCombination(Qt::ControlModifier, Qt::Key_M), Frame());
    EXPECT_EQ(Frame()->MdiClient()->subWindowList().size(), 2);
    EXPECT_EQ(edit->GetText(), "ab");
    ASSERT_TRUE(WaitFor([&asked] { return asked == 1; }));
}
