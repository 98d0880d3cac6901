#include "CScriptEditCtrl.h"

#include "ScriptConstants.h"

#include <QAccessible>
#include <QAccessibleWidget>
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
const QColor kBreakpointColour(200, 0, 0);
const QColor kStopArrowColour(255, 200, 0);
const QColor kStopLineColour(255, 240, 150);
constexpr int kFoldFlags = 16;

// QScintilla's accessible interface counts the characters from the start of the text on every
// change and caret move, so typing slows down the further into a large script the caret is.
// While no assistive tool listens, the editor is an editable widget like any other.
QAccessibleInterface* PlainAccessible(const QString& className, QObject* object)
{
    if (className != QLatin1String("CScriptEditCtrl") || QAccessible::isActive())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::EditableText);
}

} // namespace

CScriptEditCtrl::CScriptEditCtrl(QWidget* parent) : QsciScintillaBase(parent)
{
    setObjectName(QStringLiteral("10000"));
    static const bool plainAccessible = (QAccessible::installFactory(&PlainAccessible), true);
    Q_UNUSED(plainAccessible);
    // Nothing here needs modification notices, and QScintilla's accessibility counts the
    // characters before each one: only an assistive tool gets them.
    if (!QAccessible::isActive())
        SendScintilla(SCI_SETMODEVENTMASK, 0);
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if ((updated & SC_UPDATE_CONTENT) != 0)
            OnLinesChanged();
        UpdateBraceHighlight();
    });
    connect(this, &QsciScintillaBase::SCN_MARGINCLICK, this,
            [this](int position, int, int margin) { OnMarginClick(position, margin); });
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
    SendScintilla(SCI_MARKERDEFINE, kMarkerBreakpoint, SC_MARK_CIRCLE);
    SendScintilla(SCI_MARKERSETFORE, kMarkerBreakpoint, kBreakpointColour);
    SendScintilla(SCI_MARKERSETBACK, kMarkerBreakpoint, kBreakpointColour);
    SendScintilla(SCI_MARKERDEFINE, kMarkerStopArrow, SC_MARK_SHORTARROW);
    SendScintilla(SCI_MARKERSETBACK, kMarkerStopArrow, kStopArrowColour);
    SendScintilla(SCI_MARKERDEFINE, kMarkerStopLine, SC_MARK_BACKGROUND);
    SendScintilla(SCI_MARKERSETBACK, kMarkerStopLine, kStopLineColour);
    // Breakpoints are set by a click in the selection margin, which shows them.
    SendScintilla(SCI_SETMARGINSENSITIVEN, kMarginSelection, 1);

    for (const StyleColour& entry : kStyleColours)
        SetForeground(entry.style, entry.colour);
    SendScintilla(SCI_STYLESETBACK, static_cast<unsigned long>(STYLE_BRACELIGHT), kBraceBackground);

    SendScintilla(SCI_SETEOLMODE, SC_EOL_LF);
    SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);

    SetDisplayLinenumbers(true);
    SetDisplayFolding(false);
    SetDisplaySelection(true);
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
    // The margin was sized for the line count it had: a new digit needs a wider one.
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
    const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    if (margin == kMarginFold) {
        SendScintilla(SCI_TOGGLEFOLD, static_cast<unsigned long>(line));
    } else if (margin == kMarginSelection) {
        ToggleBreakpoint(static_cast<int>(line) + 1);
        emit breakpointsChanged();
    }
}

void CScriptEditCtrl::ToggleBreakpoint(int line)
{
    const auto index = static_cast<unsigned long>(line - 1);
    if (line < 1 || static_cast<long>(index) >= SendScintilla(SCI_GETLINECOUNT))
        return;
    if ((SendScintilla(SCI_MARKERGET, index) & (1 << kMarkerBreakpoint)) != 0)
        SendScintilla(SCI_MARKERDELETE, index, kMarkerBreakpoint);
    else
        SendScintilla(SCI_MARKERADD, index, kMarkerBreakpoint);
}

QList<int> CScriptEditCtrl::Breakpoints() const
{
    QList<int> lines;
    for (long line = SendScintilla(SCI_MARKERNEXT, 0UL, 1L << kMarkerBreakpoint); line >= 0;
         line = SendScintilla(SCI_MARKERNEXT, static_cast<unsigned long>(line + 1),
                              1L << kMarkerBreakpoint))
        lines.append(static_cast<int>(line) + 1);
    return lines;
}

void CScriptEditCtrl::SetBreakpoints(const QList<int>& lines)
{
    SendScintilla(SCI_MARKERDELETEALL, static_cast<unsigned long>(kMarkerBreakpoint));
    const long count = SendScintilla(SCI_GETLINECOUNT);
    for (const int line : lines) {
        if (line >= 1 && line <= count)
            SendScintilla(SCI_MARKERADD, static_cast<unsigned long>(line - 1), kMarkerBreakpoint);
    }
}

void CScriptEditCtrl::ShowStopLine(int line)
{
    for (const int marker : {kMarkerStopArrow, kMarkerStopLine})
        SendScintilla(SCI_MARKERDELETEALL, static_cast<unsigned long>(marker));
    if (line < 1 || line > SendScintilla(SCI_GETLINECOUNT))
        return;
    const auto index = static_cast<unsigned long>(line - 1);
    SendScintilla(SCI_MARKERADD, index, kMarkerStopArrow);
    SendScintilla(SCI_MARKERADD, index, kMarkerStopLine);
    SendScintilla(SCI_ENSUREVISIBLEENFORCEPOLICY, index);
}

int CScriptEditCtrl::StopLine() const
{
    const long line = SendScintilla(SCI_MARKERNEXT, 0UL, 1L << kMarkerStopArrow);
    return line >= 0 ? static_cast<int>(line) + 1 : 0;
}

void CScriptEditCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    // The view's script menu, not Scintilla's own.
    emit contextMenuRequested(event->globalPos());
    event->accept();
}

QVariant CScriptEditCtrl::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // QScintilla answers these from the whole paragraph around the caret: in a script without
    // blank lines that is the whole file, read on every key. The caret's line is enough.
    switch (query) {
    case Qt::ImSurroundingText:
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
    case Qt::ImTextBeforeCursor:
    case Qt::ImTextAfterCursor:
        break;
    default:
        return QsciScintillaBase::inputMethodQuery(query);
    }
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const auto line = static_cast<unsigned long>(
        SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret)));
    const long start = SendScintilla(SCI_POSITIONFROMLINE, line);
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, line);
    QByteArray bytes(SendScintilla(SCI_LINELENGTH, line) + 1, Qt::Uninitialized);
    SendScintilla(SCI_GETLINE, line, static_cast<void*>(bytes.data()));
    bytes.truncate(end - start);
    // Positions within the line, in characters.
    const auto characters = [&](long position) {
        return QString::fromUtf8(bytes.left(std::clamp(position - start, 0L, end - start))).size();
    };
    const QString text = QString::fromUtf8(bytes);
    const qsizetype cursor = characters(caret);
    switch (query) {
    case Qt::ImSurroundingText:
        return text;
    case Qt::ImCursorPosition:
        return cursor;
    case Qt::ImAnchorPosition:
        return characters(SendScintilla(SCI_GETANCHOR));
    case Qt::ImTextBeforeCursor:
        return text.left(cursor);
    default:
        return text.mid(cursor);
    }
}
