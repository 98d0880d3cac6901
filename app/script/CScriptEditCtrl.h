#pragma once

#include <QByteArray>
#include <QColor>
#include <Qsci/qsciscintillabase.h>

// The Scintilla editor of a script view: TSL highlighting, line numbers, folding, brace
// matching, search and replace. Text goes in and out as UTF-8 bytes with LF line ends, so a
// byte that no encoding could read stays as it came.
class CScriptEditCtrl : public QsciScintillaBase
{
    Q_OBJECT

public:
    explicit CScriptEditCtrl(QWidget* parent = nullptr);

    // Scintilla search flags for the searches below: SCFIND_WHOLEWORD, _MATCHCASE, _REGEXP.
    void SetSearchFlags(int flags) { m_nSearchFlags = flags; }

    // Replaces the whole text without an undo step, puts the caret at the start and takes the
    // focus.
    void SetText(const QByteArray& text);
    QByteArray GetText() const;
    bool IsEmpty() const;
    // Shows the text of the file at path, highlighted by its extension, as saved.
    void SetFileText(const QString& path, const QByteArray& text);

    // Scintilla's lexer for a file extension; no highlighting when none matches.
    static int GetLexerForExtension(const QString& extension);
    void SetLexer(int lexer);
    void SetKeywords(const char* words);

    // Folding, margins, colours, tabs, caret and encoding, as the script editor wants them.
    void Init();
    void SetStyleFont(const char* face, int points);
    void SetForeground(int style, const QColor& colour);
    // Decimal digits of the line count plus one, at least one.
    int GetLinenumberChars() const;
    // Pixels for the line numbers: the width of "9" times one more than GetLinenumberChars.
    int GetLinenumberWidth() const;
    void SetDisplayLinenumbers(bool show);
    void SetDisplaySelection(bool show);
    void SetDisplayFolding(bool show);

    // Editing.
    void Cut();
    void Copy();
    void Paste();
    void Clear();
    void ClearAll();
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    void SetSavePoint();
    // Puts the caret on a byte offset and selects length bytes from it, scrolled into sight.
    void SelectBytes(long position, long length);

    // Searches with the search flags; a match is selected. False when there is none (an empty
    // text finds nothing). Forward goes on from the end of the selection, backward from its
    // start, so a match right next to the last one is found too.
    bool SearchForward(const QByteArray& text);
    bool SearchBackward(const QByteArray& text);
    // Replaces the selection by replacement when the selection is a match of text; false when
    // it is not one.
    bool ReplaceSearchedText(const QByteArray& text, const QByteArray& replacement);
    long GetSelectionStart() const;
    long GetSelectionEnd() const;
    QByteArray GetSelectedText() const;
    // Replaces every match in the whole text, or in the selection, as one undo step; never
    // searches the text it has put in. Returns the number of replacements.
    int ReplaceAll(const QByteArray& text, const QByteArray& replacement, bool inSelection);
    // The number of matches that ReplaceAll would replace by nothing; the text stays as it is.
    int CountMatches(const QByteArray& text, bool inSelection);

    // Breakpoints: markers on lines (from 1), toggled by a click in the selection margin. They
    // move with their lines as text is put in or taken out.
    void ToggleBreakpoint(int line);
    QList<int> Breakpoints() const;
    void SetBreakpoints(const QList<int>& lines);
    // Marks the line a stopped script runs next and scrolls it into sight; 0 takes the mark
    // away.
    void ShowStopLine(int line);
    int StopLine() const;

    // What the input method reads around the caret: the caret's line.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    void contextMenuRequested(const QPoint& globalPos);
    // The user set or took away a breakpoint.
    void breakpointsChanged();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void UpdateBraceHighlight();
    void OnMarginClick(int position, int margin);
    void OnLinesChanged();
    bool FindAndSelect(long from, long to, const QByteArray& text);
    // Searches the target range [start, end); the match becomes the target. -1 when none.
    long SearchInTarget(long start, long end, const QByteArray& text);
    long ReplaceTarget(const QByteArray& replacement);
    // Walks the matches of text in the whole text or the selection, replacing each one when a
    // replacement is given; the end of the range as it then stands goes to rangeEnd.
    int ForEachMatch(const QByteArray& text, const QByteArray* replacement, bool inSelection,
                     long* rangeEnd);
    long TextLength() const;

    bool m_bLinenumbers = false;
    int m_nSearchFlags = 0;
    int m_nLinenumberChars = 0;
};
