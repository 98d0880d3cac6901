#include "ScriptConstants.h"
#include "ScriptTestEnv.h"

#include <QAccessible>

using EditCtrlTest = ScriptTest;
using Sci = QsciScintillaBase;

TEST_F(EditCtrlTest, LexerFollowsTheExtensionTslWordsAreHighlightedAndTheEditorIsUtf8)
{
    const std::pair<const char*, int> extensions[] = {
        {"TSL", 3},  {"tsl", 3},  {"Tsl", 3}, {"cpp", 3}, {"mak", 3}, {"py", 2},
        {"HTML", 4}, {"lua", 15}, {"", 1},    {"bak", 1}, {"tsl2", 1}};
    for (const auto& [extension, lexer] : extensions)
        EXPECT_EQ(CScriptEditCtrl::GetLexerForExtension(extension), lexer) << extension;

    const std::pair<const char*, int> files[] = {{"X.TSL", 3}, {"X", 1}, {"x.py", 2}};
    for (const auto& [name, lexer] : files) {
        CScriptChildFrame* frame = OpenScript(MakeFile(name, "OPEN PORT COM1 // port\n"));
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(Edit(frame)->SendScintilla(Sci::SCI_GETLEXER), lexer) << name;
    }

    CScriptEditCtrl* edit = Edit(OpenScript(MakeFile("Y.TSL", "OPEN PORT COM1 // port\n"
                                                              "EQU M \"Hi\"\n")));
    edit->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
    const std::pair<long, int> styles[] = {{0, 5}, {5, 5}, {10, 11}, {15, 2}, {29, 6}};
    for (const auto& [position, style] : styles)
        EXPECT_EQ(edit->SendScintilla(Sci::SCI_GETSTYLEAT, position), style) << position;
    const std::pair<int, QColor> colours[] = {{2, QColor(128, 128, 128)},
                                              {5, QColor(0, 0, 255)},
                                              {6, QColor(200, 20, 0)},
                                              {10, QColor(255, 0, 64)}};
    for (const auto& [style, colour] : colours) {
        const long bgr = edit->SendScintilla(Sci::SCI_STYLEGETFORE, style);
        EXPECT_EQ(QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF), colour) << style;
    }

    // A new script is set up for TSL in UTF-8.
    edit = Edit(OpenScript());
    const std::pair<int, long> settings[] = {{Sci::SCI_GETTABWIDTH, 4},
                                             {Sci::SCI_GETCARETPERIOD, 400},
                                             {Sci::SCI_GETCODEPAGE, 65001},
                                             {Sci::SCI_GETEOLMODE, Sci::SC_EOL_LF},
                                             {Sci::SCI_GETLEXER, kLexerCpp}};
    for (const auto& [message, value] : settings)
        EXPECT_EQ(edit->SendScintilla(message), value) << message;
    for (unsigned long style : {0UL, 5UL, 33UL, 126UL}) {
        QByteArray face(64, '\0');
        edit->SendScintilla(Sci::SCI_STYLEGETFONT, style, static_cast<void*>(face.data()));
        EXPECT_EQ(QString::fromUtf8(face.constData()), "굴림체") << style;
        EXPECT_EQ(edit->SendScintilla(Sci::SCI_STYLEGETSIZE, style), 10) << style;
    }
    EXPECT_EQ(edit->SendScintilla(Sci::SCI_GETMARGINWIDTHN, kMarginFold), 0);
    // The selection margin holds the breakpoints.
    EXPECT_EQ(edit->SendScintilla(Sci::SCI_GETMARGINWIDTHN, kMarginSelection), kMarginSelectionPx);
    EXPECT_EQ(static_cast<unsigned>(edit->SendScintilla(Sci::SCI_GETMARGINMASKN, kMarginFold)),
              static_cast<unsigned>(Sci::SC_MASK_FOLDERS));
}

TEST_F(EditCtrlTest, LineNumberMarginWidensWithEveryNewDigit)
{
    CScriptEditCtrl* edit = Edit(OpenScript());
    const long digit = edit->SendScintilla(Sci::SCI_TEXTWIDTH, 33UL, "9");
    ASSERT_GT(digit, 0);
    const std::pair<int, long> cases[] = {{1, 3}, {99, 4}, {100, 5}, {1000, 6}, {99, 4}};
    for (const auto& [lines, digits] : cases) {
        edit->SetText(QByteArray(lines - 1, '\n'));
        // By the time the new lines are shown.
        EXPECT_TRUE(WaitFor([&] {
            return edit->SendScintilla(Sci::SCI_GETMARGINWIDTHN, kMarginLineNumbers) ==
                   digit * digits + 10;
        })) << lines
            << " lines";
    }
}

TEST_F(EditCtrlTest, InputMethodsReadTheCaretsLineAndAssistiveToolsAPlainEditor)
{
    CScriptEditCtrl* edit = Edit(OpenScript());
    edit->SetText("first\nOUT " + kHangul + "\nlast");
    edit->SendScintilla(Sci::SCI_SETSEL, 10L, 13L); // anchor after "OUT ", caret after one syllable
    const std::pair<Qt::InputMethodQuery, QVariant> answers[] = {
        {Qt::ImSurroundingText, QString::fromUtf8("OUT " + kHangul)},
        {Qt::ImCursorPosition, 5},
        {Qt::ImAnchorPosition, 4},
        {Qt::ImTextBeforeCursor, QString::fromUtf8("OUT " + kHangul.left(3))},
        {Qt::ImTextAfterCursor, QString::fromUtf8(kHangul.mid(3))},
    };
    for (const auto& [query, answer] : answers)
        EXPECT_EQ(edit->inputMethodQuery(query), answer)
            << query << ": " << edit->inputMethodQuery(query).toString().toStdString();

    // QScintilla's own interface counts characters from the start of the text on every key.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(edit);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
    EXPECT_EQ(accessible->textInterface(), nullptr);
}

TEST_F(EditCtrlTest, SearchesFindEveryMatchInTurnBothWays)
{
    struct Case
    {
        QByteArray text;
        QByteArray find;
        int flags;
        bool forward;
        long caret;
        std::vector<long> starts;
    };
    const Case cases[] = {
        {"abab", "ab", 0, true, 0, {0, 2}},
        {"aaa", "a", 0, true, 0, {0, 1, 2}},
        {"aaa", "a", 0, false, 3, {2, 1, 0}},
        {"Abc abc", "abc", Sci::SCFIND_MATCHCASE, true, 0, {4}},
        {"Abc abc", "abc", 0, true, 0, {0, 4}},
        {"abcd abc", "abc", Sci::SCFIND_WHOLEWORD, true, 0, {5}},
        {"a1 b22 c333", "[0-9]+", Sci::SCFIND_REGEXP, true, 0, {1, 4, 8}},
        {"a1 b22 c333", "[a-c][0-9]", Sci::SCFIND_REGEXP, false, 11, {7, 3, 0}},
        // An empty match steps on instead of being found in place for ever.
        {"x\n\ny", "^", Sci::SCFIND_REGEXP, true, 0, {2, 3}},
        {kHangul + " " + kHangul, "\xEA\xB8\x80", 0, true, 0, {3, 10}},
        {"", "a", 0, true, 0, {}},
        {"abc", "", 0, true, 0, {}},
    };
    CScriptEditCtrl* edit = Edit(OpenScript());
    for (const Case& c : cases) {
        edit->SetText(c.text);
        edit->SendScintilla(Sci::SCI_GOTOPOS, c.caret);
        edit->SetSearchFlags(c.flags);
        std::vector<long> starts;
        while (starts.size() < 10 &&
               (c.forward ? edit->SearchForward(c.find) : edit->SearchBackward(c.find)))
            starts.push_back(edit->GetSelectionStart());
        EXPECT_EQ(starts, c.starts) << c.text.toStdString() << " / " << c.find.toStdString();
    }
}

TEST_F(EditCtrlTest, ReplaceAllNeverSearchesWhatItPutInAndEndsOnEmptyMatches)
{
    struct Case
    {
        QByteArray text;
        QByteArray find;
        QByteArray replacement;
        int flags;
        std::pair<long, long> selection; // {-1, -1}: the whole text
        QByteArray result;
        int count;
    };
    const Case cases[] = {
        {"aaa", "a", "aa", 0, {-1, -1}, "aaaaaa", 3},
        {"aaa", "a", "", 0, {-1, -1}, "", 3},
        {"abc", "", "x", 0, {-1, -1}, "abc", 0},
        {"a a a a", "a", "bb", 0, {2, 5}, "a bb bb a", 2},
        {"a a a a", "a", "", 0, {2, 5}, "a   a", 2},
        {"ab12cd345", "[0-9]+", "#", Sci::SCFIND_REGEXP, {-1, -1}, "ab#cd#", 2},
        {"KEY=1 KEY=2", "KEY=\\([0-9]\\)", "V\\1", Sci::SCFIND_REGEXP, {-1, -1}, "V1 V2", 2},
        {"a\nb\nc\n", "^", "// ", Sci::SCFIND_REGEXP, {-1, -1}, "// a\n// b\n// c\n// ", 4},
        {"ab", "x*", "-", Sci::SCFIND_REGEXP, {-1, -1}, "-a-b", 2},
        {"abc", "x*", "", Sci::SCFIND_REGEXP, {-1, -1}, "abc", 3},
    };
    CScriptEditCtrl* edit = Edit(OpenScript());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString() + " / " + c.find.toStdString());
        edit->SetText(c.text);
        const bool inSelection = c.selection.first >= 0;
        if (inSelection)
            edit->SendScintilla(Sci::SCI_SETSEL, c.selection.first, c.selection.second);
        edit->SetSearchFlags(c.flags);
        if (c.replacement.isEmpty()) {
            // What the replace dialog asks about before it deletes: counted, nothing changed.
            EXPECT_EQ(edit->CountMatches(c.find, inSelection), c.count);
            EXPECT_EQ(edit->GetText(), c.text);
            EXPECT_FALSE(edit->CanUndo());
        }
        EXPECT_EQ(edit->ReplaceAll(c.find, c.replacement, inSelection), c.count);
        EXPECT_EQ(edit->GetText(), c.result);
        if (inSelection) {
            // The selection still spans what was selected, replacements included.
            EXPECT_EQ(edit->GetSelectionStart(), c.selection.first);
            EXPECT_EQ(edit->GetSelectionEnd(),
                      c.selection.second + c.count * (c.replacement.size() - c.find.size()));
        }
        edit->Undo();
        EXPECT_EQ(edit->GetText(), c.text) << "one undo step";
    }
}
