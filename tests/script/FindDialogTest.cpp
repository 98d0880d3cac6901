#include "CFindReplaceDlg.h"
#include "ScriptConstants.h"
#include "ScriptTestEnv.h"
#include "ShellConstants.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using Sci = QsciScintillaBase;

namespace {

class FindDialogTest : public ScriptTest
{
protected:
    // A script holding text, with its find or replace dialog open.
    CFindDlg* OpenDialog(const QByteArray& text, bool replace, long selStart = 0, long selEnd = 0)
    {
        m_pFrame = OpenScript();
        Edit()->SetText(text);
        Edit()->SendScintilla(Sci::SCI_SETSEL, selStart, selEnd);
        if (replace)
            m_pFrame->View()->OnEditReplace();
        else
            m_pFrame->View()->OnEditFind();
        return m_pFrame->View()->FindDialog();
    }
    CScriptEditCtrl* Edit() const { return ScriptTest::Edit(m_pFrame); }

    template <typename T> static T* Control(CFindDlg* dialog, int id)
    {
        T* control = dialog->findChild<T*>(QString::number(id));
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    static void Type(CFindDlg* dialog, int id, const QString& text)
    {
        auto* box = Control<QComboBox>(dialog, id);
        box->setFocus();
        box->clearEditText();
        QTest::keyClicks(box, text);
    }
    static void Click(CFindDlg* dialog, int id)
    {
        QTest::mouseClick(Control<QPushButton>(dialog, id), Qt::LeftButton);
    }
    static QStringList Items(CFindDlg* dialog, int id)
    {
        auto* box = Control<QComboBox>(dialog, id);
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items;
    }

    CScriptChildFrame* m_pFrame = nullptr;
};

} // namespace

TEST_F(FindDialogTest, ReplaceAllReportsItsCountAndInSelectionLeavesTheRest)
{
    CFindDlg* dialog = OpenDialog("aaa", true);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Search and replace");
    Type(dialog, IDC_FIND_TEXT, "a");
    Type(dialog, IDC_FIND_REPLACE_TEXT, "aa");
    Click(dialog, IDC_FIND_REPLACE_ALL);
    EXPECT_EQ(Edit()->GetText(), "aaaaaa");
    EXPECT_EQ(dialog->findChild<QLabel*>("result")->text(), "3 replaced");
    EXPECT_EQ(m_history.find, QStringList("a"));
    EXPECT_EQ(m_history.replace, QStringList("aa"));

    dialog = OpenDialog("a a a a\na a", true, 2, 5);
    Type(dialog, IDC_FIND_TEXT, "a");
    Type(dialog, IDC_FIND_REPLACE_TEXT, "b");
    Control<QCheckBox>(dialog, IDC_FIND_IN_SELECTION)->setChecked(true);
    for (int id : {IDC_FIND_NEXT, IDC_FIND_PREVIOUS, IDC_FIND_REPLACE})
        EXPECT_FALSE(Control<QPushButton>(dialog, id)->isEnabled()) << id;
    // Enter replaces, as that is what the dialog can do now.
    QTest::keyClick(Control<QComboBox>(dialog, IDC_FIND_REPLACE_TEXT), Qt::Key_Return);
    EXPECT_EQ(Edit()->GetText(), "a b b a\na a");
    Control<QCheckBox>(dialog, IDC_FIND_IN_SELECTION)->setChecked(false);
    EXPECT_TRUE(Control<QPushButton>(dialog, IDC_FIND_NEXT)->isEnabled());
}

TEST_F(FindDialogTest, ReplaceChangesAMatchThenGoesOnToTheNext)
{
    CFindDlg* dialog = OpenDialog("foo bar foo foo", true, 4, 7);
    Type(dialog, IDC_FIND_TEXT, "foo");
    Type(dialog, IDC_FIND_REPLACE_TEXT, "X");
    Click(dialog, IDC_FIND_REPLACE);
    EXPECT_EQ(Edit()->GetText(), "foo bar foo foo") << "bar is no match";
    EXPECT_EQ(Edit()->GetSelectionStart(), 8);
    Click(dialog, IDC_FIND_REPLACE);
    EXPECT_EQ(Edit()->GetText(), "foo bar X foo");
    EXPECT_EQ(Edit()->GetSelectionStart(), 10);
    Click(dialog, IDC_FIND_PREVIOUS);
    EXPECT_EQ(Edit()->GetSelectionStart(), 0);
    Click(dialog, IDC_FIND_REPLACE);
    EXPECT_EQ(Edit()->GetText(), "X bar X foo");
}

TEST_F(FindDialogTest, HistoryHoldsEachTextOnceNewestFirst)
{
    CFindDlg* dialog = OpenDialog("abc ABC abc", false);
    EXPECT_EQ(dialog->windowTitle(), "Search");
    for (const char* text : {"abc", "abc", "ABC", "abc"}) {
        Type(dialog, IDC_FIND_TEXT, text);
        Click(dialog, IDC_FIND_NEXT);
    }
    EXPECT_EQ(m_history.find, QStringList({"abc", "ABC"}));
    EXPECT_EQ(Items(dialog, IDC_FIND_TEXT), QStringList({"ABC", "abc"}));
    dialog->close();
    m_pFrame->View()->OnEditReplace();
    EXPECT_EQ(Items(m_pFrame->View()->FindDialog(), IDC_FIND_TEXT), QStringList({"ABC", "abc"}));

    // The oldest entry goes once the list is as long as the settings keep.
    m_history.find.clear();
    for (int i = 0; i < kMaxHistoryEntries; ++i)
        m_history.find << QString::number(i);
    dialog = OpenDialog("x", false);
    Type(dialog, IDC_FIND_TEXT, "x");
    Click(dialog, IDC_FIND_NEXT);
    EXPECT_EQ(m_history.find.size(), kMaxHistoryEntries);
    EXPECT_EQ(m_history.find.first(), "1");
    EXPECT_EQ(m_history.find.last(), "x");
    EXPECT_EQ(Items(dialog, IDC_FIND_TEXT).size(), kMaxHistoryEntries);
}

TEST_F(FindDialogTest, OpeningTakesAOneLineSelectionFlagsComeFromTheBoxesAndClosingFrees)
{
    CFindDlg* dialog = OpenDialog("OUT MSG\nEND:", true, 4, 7);
    EXPECT_EQ(Control<QComboBox>(dialog, IDC_FIND_TEXT)->currentText(), "MSG");
    EXPECT_EQ(Control<QComboBox>(dialog, IDC_FIND_REPLACE_TEXT)->currentText(), "MSG");
    dialog = OpenDialog("OUT MSG\nEND:", false, 4, 10);
    EXPECT_EQ(Control<QComboBox>(dialog, IDC_FIND_TEXT)->currentText(), "");

    dialog = OpenDialog("Abc abcd abc", false);
    Type(dialog, IDC_FIND_TEXT, "abc");
    Control<QCheckBox>(dialog, IDC_FIND_MATCH_CASE)->setChecked(true);
    Control<QCheckBox>(dialog, IDC_FIND_WHOLE_WORD)->setChecked(true);
    Click(dialog, IDC_FIND_NEXT);
    EXPECT_EQ(Edit()->GetSelectionStart(), 9);
    Type(dialog, IDC_FIND_TEXT, "a[a-z]+d");
    Control<QCheckBox>(dialog, IDC_FIND_WHOLE_WORD)->setChecked(false);
    Control<QCheckBox>(dialog, IDC_FIND_REGEXP)->setChecked(true);
    Click(dialog, IDC_FIND_PREVIOUS);
    EXPECT_EQ(Edit()->GetSelectedText(), "abcd");

    QPointer<CFindDlg> closing = dialog;
    QTest::keyClick(Control<QComboBox>(dialog, IDC_FIND_TEXT), Qt::Key_Escape);
    // Deleted later, as a closed widget is, by the loop of the key press: here, on request.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closing.isNull());
}
