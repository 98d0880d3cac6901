#include "CScriptEditCtrl.h"

#include "ScriptConstants.h"

#include <QContextMenuEvent>
#include <QFileInfo>

namespace {

// Scintilla's "no position", as its messages take it.
constexpr unsigned long kNoPosition = static_cast<unsigned long>(-1L);

constexpr const char* kFoldProperties[] = {
    "fold",         "fold.html",  "fold.html.preprocessor", "fold.comment",
    "fold.at.else", "fold.flags", "fold.preprocessor",      "styling.within.preprocessor"};

// Colours of the C++ lexer's styles.
struct StyleColour
{
    int style;
    QColor colour;
};

const StyleColour kStyleColours[] = {
    {0, QColor(0, 0, 0)},     // default
    {2, QColor(0, 64, 0)},    // line comment: grey once the view is shown
    {5, QColor(0, 0, 255)},   // keyword
    {6, QColor(200, 20, 0)},  // string
    {9, QColor(0, 0, 255)},   // preprocessor
    {10, QColor(255, 0, 64)}, // operator
    {11, QColor(0, 0, 0)},    // identifier
};
const QColor kBraceBackground(0, 255, 0);
constexpr int kFoldFlags = 16;

} // namespace

CScriptEditCtrl::CScriptEditCtrl(QWidget* parent) : QsciScintillaBase(parent)
{
    setObjectName(QStringLiteral("10000"));
    // Only text changes are of interest; styling notices would come by the thousand.
    SendScintilla(SCI_SETMODEVENTMASK, SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT);
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &CScriptEditCtrl::UpdateBraceHighlight);
    connect(this, &QsciScintillaBase::SCN_MARGINCLICK, this,
            [this](int position, int, int margin) { OnMarginClick(position, margin); });
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int, int, const char*, int, int linesAdded) {
                if (linesAdded != 0)
                    OnLinesChanged();
            });
}

void CScriptEditCtrl::SetText(const QByteArray& text)
{
    SendScintilla(SCI_SETUNDOCOLLECTION, 0);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(text.size()), text.constData());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_GOTOPOS, 0);
    setFocus();
}

QByteArray CScriptEditCtrl::GetText() const
{
    const long length = TextLength();
    QByteArray text(length + 1, Qt::Uninitialized);
    SendScintilla(SCI_GETTEXT, static_cast<unsigned long>(length + 1),
                  static_cast<void*>(text.data()));
    text.resize(length);
    return text;
}

bool CScriptEditCtrl::IsEmpty() const
{
    return TextLength() == 0;
}

long CScriptEditCtrl::TextLength() const
{
    return SendScintilla(SCI_GETLENGTH);
}

void CScriptEditCtrl::SetFileText(const QString& path, const QByteArray& text)
{
    SetLexer(GetLexerForExtension(QFileInfo(path).suffix()));
    SetText(text);
    SetSavePoint();
}

void CScriptEditCtrl::SetLexer(int lexer)
{
    SendScintilla(SCI_SETLEXER, lexer);
}

void CScriptEditCtrl::SetKeywords(const char* words)
{
    SendScintilla(SCI_SETKEYWORDS, 0UL, words);
}

void CScriptEditCtrl::Init()
{
    SendScintilla(SCI_SETTABWIDTH, kTabWidth);
    SendScintilla(SCI_SETINDENT, kTabWidth);
    SendScintilla(SCI_SETCARETPERIOD, kCaretBlinkMs);
    for (const char* property : kFoldProperties)
        SendScintilla(SCI_SETPROPERTY, property, "1");
    SendScintilla(SCI_SETFOLDFLAGS, kFoldFlags);
    SendScintilla(SCI_SETMARGINMASKN, kMarginFold, SC_MASK_FOLDERS);
    SendScintilla(SCI_SETMARGINSENSITIVEN, kMarginFold, 1);

    SendScintilla(SCI_MARKERDEFINE, SC_MARKNUM_FOLDEROPEN, SC_MARK_MINUS);
    SendScintilla(SCI_MARKERDEFINE, SC_MARKNUM_FOLDER, SC_MARK_PLUS);
    for (unsigned long marker = SC_MARKNUM_FOLDEREND; marker <= SC_MARKNUM_FOLDERSUB; ++marker)
        SendScintilla(SCI_MARKERDEFINE, marker, SC_MARK_EMPTY);
    SendScintilla(SCI_MARKERDEFINE, 0, SC_MARK_CIRCLE);

    for (const StyleColour& entry : kStyleColours)
        SetForeground(entry.style, entry.colour);
    SendScintilla(SCI_STYLESETBACK, static_cast<unsigned long>(STYLE_BRACELIGHT), kBraceBackground);

    SendScintilla(SCI_SETEOLMODE, SC_EOL_LF);
    SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);

    SetDisplayLinenumbers(true);
    SetDisplayFolding(false);
    SetDisplaySelection(false);
}

void CScriptEditCtrl::SetStyleFont(const char* face, int points)
{
    for (unsigned long style = 0; style <= kLastStyle; ++style) {
        SendScintilla(SCI_STYLESETFONT, style, face);
        SendScintilla(SCI_STYLESETSIZE, style, static_cast<long>(points));
    }
}

void CScriptEditCtrl::SetForeground(int style, const QColor& colour)
{
    SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(style), colour);
}

int CScriptEditCtrl::GetLinenumberChars() const
{
    int digits = 0;
    for (long lines = SendScintilla(SCI_GETLINECOUNT); lines > 0; lines /= 10)
        ++digits;
    return std::max(1, digits + 1);
}

int CScriptEditCtrl::GetLinenumberWidth() const
{
    const long digitWidth =
        SendScintilla(SCI_TEXTWIDTH, static_cast<uintptr_t>(STYLE_LINENUMBER), "9");
    return static_cast<int>(digitWidth) * (GetLinenumberChars() + 1);
}

void CScriptEditCtrl::SetDisplayLinenumbers(bool show)
{
    if (show == m_bLinenumbers)
        return;
    m_bLinenumbers = show;
    m_nLinenumberChars = GetLinenumberChars();
    SendScintilla(SCI_SETMARGINWIDTHN, kMarginLineNumbers,
                  show ? GetLinenumberWidth() + kLineNumberPaddingPx : 0);
}

void CScriptEditCtrl::OnLinesChanged()
{
    // The margin was sized for the line count it had; a new digit needs a wider one.
    if (!m_bLinenumbers || GetLinenumberChars() == m_nLinenumberChars)
        return;
    m_nLinenumberChars = GetLinenumberChars();
    SendScintilla(SCI_SETMARGINWIDTHN, kMarginLineNumbers,
                  GetLinenumberWidth() + kLineNumberPaddingPx);
}

void CScriptEditCtrl::SetDisplaySelection(bool show)
{
    SendScintilla(SCI_SETMARGINWIDTHN, kMarginSelection, show ? kMarginSelectionPx : 0);
}

void CScriptEditCtrl::SetDisplayFolding(bool show)
{
    SendScintilla(SCI_SETMARGINWIDTHN, kMarginFold, show ? kMarginFoldPx : 0);
}

void CScriptEditCtrl::Cut()
{
    SendScintilla(SCI_CUT);
}

void CScriptEditCtrl::Copy()
{
    SendScintilla(SCI_COPY);
}

void CScriptEditCtrl::Paste()
{
    SendScintilla(SCI_PASTE);
}

void CScriptEditCtrl::Clear()
{
    SendScintilla(SCI_CLEAR);
}

void CScriptEditCtrl::ClearAll()
{
    SendScintilla(SCI_CLEARALL);
}

void CScriptEditCtrl::Undo()
{
    SendScintilla(SCI_UNDO);
}

void CScriptEditCtrl::Redo()
{
    SendScintilla(SCI_REDO);
}

bool CScriptEditCtrl::CanUndo() const
{
    return SendScintilla(SCI_CANUNDO) != 0;
}

bool CScriptEditCtrl::CanRedo() const
{
    return SendScintilla(SCI_CANREDO) != 0;
}

bool CScriptEditCtrl::IsModified() const
{
    return SendScintilla(SCI_GETMODIFY) != 0;
}

void CScriptEditCtrl::SetSavePoint()
{
    SendScintilla(SCI_SETSAVEPOINT);
}

void CScriptEditCtrl::SelectBytes(long position, long length)
{
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(position));
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(position), position + length);
}

void CScriptEditCtrl::UpdateBraceHighlight()
{
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long match =
        caret > 0 ? SendScintilla(SCI_BRACEMATCH, static_cast<unsigned long>(caret - 1)) : -1;
    if (match < 0)
        SendScintilla(SCI_BRACEHIGHLIGHT, kNoPosition, -1L);
    else
        SendScintilla(SCI_BRACEHIGHLIGHT, static_cast<unsigned long>(caret - 1), match);
}

void CScriptEditCtrl::OnMarginClick(int position, int margin)
{
    if (margin != kMarginFold)
        return;
    const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    SendScintilla(SCI_TOGGLEFOLD, static_cast<unsigned long>(line));
}

void CScriptEditCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    // The view's script menu, not Scintilla's own.
    emit contextMenuRequested(event->globalPos());
    event->accept();
}
