#include "CFindReplaceDlg.h"
#include "ScriptConstants.h"
#include "ScriptTestEnv.h"
#include "ShellConstants.h"

#include "KeyboardInput.h"
#include "TempDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTranslator>

#include <set>

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

    // The dialog in front with the keyboard, as it is after Ctrl+H.
    static void Activate(CFindDlg* dialog)
    {
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    }
    // The control that has the keyboard, named as the tests find it: a combo box's line edit
    // by its box.
    static QString Focused()
    {
        const QWidget* focus = QApplication::focusWidget();
        if (focus == nullptr)
            return {};
        if (qobject_cast<const QLineEdit*>(focus) && focus->parentWidget())
            focus = focus->parentWidget();
        return focus->objectName();
    }

    CScriptChildFrame* m_pFrame = nullptr;
};

} // namespace

TEST_F(FindDialogTest, TabWalksTheControlsAsTheyAreLaidOut)
{
    const auto id = [](int number) { return QString::number(number); };
    const struct
    {
        bool replace;
        QStringList order;
    } dialogs[] = {
        {false,
         {id(IDC_FIND_TEXT), id(IDC_FIND_MATCH_CASE), id(IDC_FIND_WHOLE_WORD), id(IDC_FIND_REGEXP),
          id(IDC_FIND_NEXT), id(IDC_FIND_PREVIOUS), "IDCANCEL"}},
        {true,
         {id(IDC_FIND_TEXT), id(IDC_FIND_REPLACE_TEXT), id(IDC_FIND_MATCH_CASE),
          id(IDC_FIND_WHOLE_WORD), id(IDC_FIND_REGEXP), id(IDC_FIND_IN_SELECTION),
          id(IDC_FIND_NEXT), id(IDC_FIND_PREVIOUS), id(IDC_FIND_REPLACE), id(IDC_FIND_REPLACE_ALL),
          "IDCANCEL"}},
    };
    for (const auto& [replace, order] : dialogs) {
        SCOPED_TRACE(replace ? "replace" : "find");
        CFindDlg* dialog = OpenDialog("DIM REPLY$ 64", replace);
        Activate(dialog);
        QStringList walked{Focused()};
        for (qsizetype i = 0; i < order.size(); ++i) {
            PressKey(Qt::Key_Tab, dialog);
            walked << Focused();
        }
        EXPECT_EQ(walked, order + QStringList{order.first()}) << "and round to the start";
        QStringList back{Focused()};
        for (qsizetype i = 0; i < order.size(); ++i) {
            PressKey(Qt::SHIFT | Qt::Key_Backtab, dialog);
            back.prepend(Focused());
        }
        EXPECT_EQ(back, order + QStringList{order.first()});
        dialog->close();
    }
}

TEST_F(FindDialogTest, FindTabReplacementAndAltAReplacesWithWhatWasTyped)
{
    const QString path = MakeFile("reply.tsl", "DIM REPLY$ 64\r\nVAR N% 0\r\nBEGIN:\r\n"
                                               "    IN REPLY, N\r\nEND:\r\n");
    m_pFrame = OpenScript(path);
    ASSERT_NE(m_pFrame, nullptr);
    m_pFrame->View()->OnEditReplace();
    CFindDlg* dialog = m_pFrame->View()->FindDialog();
    Activate(dialog);
    ASSERT_EQ(Focused(), QString::number(IDC_FIND_TEXT));
    QTest::keyClicks(QApplication::focusWidget(), "REPLY");
    PressKey(Qt::Key_Tab, dialog);
    QTest::keyClicks(QApplication::focusWidget(), "ANSWER");
    // Escape right after Alt+A, as a quick hand types them: the replacement is made first.
    PressKey(Qt::ALT | Qt::Key_A, dialog);
    EXPECT_EQ(dialog->findChild<QLabel*>("result")->text(), "2개를 바꿨습니다");
    // Escape to the widget: the dialog closes and goes while the test sends keys, which would
    // leave a release sent to its window nowhere to go.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(Edit()->GetText(), "DIM ANSWER$ 64\nVAR N% 0\nBEGIN:\n    IN ANSWER, N\nEND:\n");
    EXPECT_TRUE(m_messages.texts.isEmpty()) << "a replacement was given: nothing to ask";
    ASSERT_TRUE(Doc(m_pFrame)->OnSaveDocument(path));
    EXPECT_EQ(TempDir::Read(path), "DIM ANSWER$ 64\r\nVAR N% 0\r\nBEGIN:\r\n"
                                   "    IN ANSWER, N\r\nEND:\r\n");
}

TEST_F(FindDialogTest, ReplaceAllWithNothingAsksFirstAndNoChangesNothing)
{
    const QByteArray reply = "DIM REPLY$ 64\nIN REPLY, N";
    const QString asked = "찾은 2개를 빈 문자열로 바꾸시겠습니까?";
    const struct
    {
        QByteArray text;
        std::pair<long, long> selection; // {0, 0}: the whole text
        QMessageBox::StandardButton answer;
        QString question; // empty: none asked
        QByteArray result;
    } cases[] = {
        {reply, {0, 0}, QMessageBox::No, asked, reply},
        {reply, {0, 0}, QMessageBox::Yes, asked, "DIM $ 64\nIN , N"},
        // Only the matches that would go are counted.
        {"REPLY REPLY REPLY", {6, 17}, QMessageBox::Yes, asked, "REPLY  "},
        {"DIM LINE$ 64", {0, 0}, QMessageBox::Yes, "", "DIM LINE$ 64"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        m_messages.texts.clear();
        m_messages.answer = c.answer;
        const bool inSelection = c.selection.second > 0;
        CFindDlg* dialog = OpenDialog(c.text, true, c.selection.first, c.selection.second);
        Type(dialog, IDC_FIND_TEXT, "REPLY");
        Type(dialog, IDC_FIND_REPLACE_TEXT, "");
        Control<QCheckBox>(dialog, IDC_FIND_IN_SELECTION)->setChecked(inSelection);
        Click(dialog, IDC_FIND_REPLACE_ALL);
        EXPECT_EQ(m_messages.texts, c.question.isEmpty() ? QStringList() : QStringList{c.question});
        EXPECT_EQ(Edit()->GetText(), c.result);
        EXPECT_EQ(Edit()->CanUndo(), c.result != c.text);
    }
}

TEST_F(FindDialogTest, DialogsSpeakKoreanOrEnglishWithOneKeyForEachControl)
{
    struct Language
    {
        const char* qm; // null: the Korean source texts
        QString findTitle;
        QString replaceTitle;
        QString replaceAll;
    };
    const Language languages[] = {
        {nullptr, "문자열 찾기", "문자열 바꾸기", "모두 바꾸기(&A)"},
        {":/i18n/tarven_en.qm", "Search", "Search and replace", "Replace &All"},
    };
    for (const Language& language : languages) {
        SCOPED_TRACE(language.qm ? language.qm : "Korean");
        QTranslator translator;
        if (language.qm != nullptr) {
            ASSERT_TRUE(translator.load(QString::fromLatin1(language.qm)));
            QCoreApplication::installTranslator(&translator);
        }
        for (const bool replace : {false, true}) {
            CFindDlg* dialog = OpenDialog("x", replace);
            EXPECT_EQ(dialog->windowTitle(), replace ? language.replaceTitle : language.findTitle);
            if (replace) {
                EXPECT_EQ(Control<QPushButton>(dialog, IDC_FIND_REPLACE_ALL)->text(),
                          language.replaceAll);
            }
            // Alt and a letter reaches one control: the text boxes by their labels, every
            // option and button but Close (which Escape does) by its own.
            std::set<QString> keys;
            int controls = 0;
            const auto take = [&](const QString& text) {
                ++controls;
                // The letter after the "&", lower case.
                const qsizetype at = text.indexOf(u'&');
                const QString key = at >= 0 ? text.mid(at + 1, 1).toLower() : QString();
                EXPECT_FALSE(key.isEmpty()) << text.toStdString();
                EXPECT_TRUE(keys.insert(key).second) << "taken twice: " << text.toStdString();
            };
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                if (label->buddy() != nullptr)
                    take(label->text());
            }
            for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
                if (button->objectName() != "IDCANCEL")
                    take(button->text());
            }
            EXPECT_EQ(controls, replace ? 10 : 6);
            dialog->close();
        }
        QCoreApplication::removeTranslator(&translator);
    }
}

TEST_F(FindDialogTest, ReplaceGoesOnToTheNextReplaceAllReportsItsCountInSelectionLeavesTheRest)
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

    m_history = {};
    dialog = OpenDialog("aaa", true);
    Type(dialog, IDC_FIND_TEXT, "a");
    Type(dialog, IDC_FIND_REPLACE_TEXT, "aa");
    Click(dialog, IDC_FIND_REPLACE_ALL);
    EXPECT_EQ(Edit()->GetText(), "aaaaaa");
    EXPECT_EQ(dialog->findChild<QLabel*>("result")->text(), "3개를 바꿨습니다");
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

TEST_F(FindDialogTest, HistoryHoldsEachTextOnceNewestFirstAndSearchesTakeTheirTextAndFlags)
{
    CFindDlg* dialog = OpenDialog("abc ABC abc", false);
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

    // Opening takes a one-line selection; the flags come from the boxes; closing frees.
    m_history = {};
    dialog = OpenDialog("OUT MSG\nEND:", true, 4, 7);
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
