// Search and replace in the script editor.
#include "CScriptEditCtrl.h"

namespace {

// Scintilla's range and find records (Sci_CharacterRange, Sci_TextToFind), which QScintilla's
// headers do not declare.
struct CharacterRange
{
    long cpMin;
    long cpMax;
};

struct TextToFind
{
    CharacterRange chrg;
    const char* lpstrText;
    CharacterRange chrgText;
};

} // namespace

long CScriptEditCtrl::GetSelectionStart() const
{
    return SendScintilla(SCI_GETSELECTIONSTART);
}

long CScriptEditCtrl::GetSelectionEnd() const
{
    return SendScintilla(SCI_GETSELECTIONEND);
}

QByteArray CScriptEditCtrl::GetSelectedText() const
{
    const long length = GetSelectionEnd() - GetSelectionStart();
    // Room for the terminating NUL that Scintilla writes.
    QByteArray text(length + 1, Qt::Uninitialized);
    SendScintilla(SCI_GETSELTEXT, 0UL, static_cast<void*>(text.data()));
    text.resize(length);
    return text;
}

bool CScriptEditCtrl::FindAndSelect(long from, long to, const QByteArray& text)
{
    if (text.isEmpty())
        return false;
    TextToFind find{{from, to}, text.constData(), {-1, -1}};
    if (SendScintilla(SCI_FINDTEXT, static_cast<unsigned long>(m_nSearchFlags),
                      static_cast<void*>(&find)) < 0)
        return false;
    SelectBytes(find.chrgText.cpMin, find.chrgText.cpMax - find.chrgText.cpMin);
    return true;
}

bool CScriptEditCtrl::SearchForward(const QByteArray& text)
{
    const long start = GetSelectionEnd();
    if (!FindAndSelect(start, TextLength(), text))
        return false;
    if (GetSelectionStart() != start || GetSelectionEnd() != start)
        return true;
    // An empty match where the search began would be found again on every press: step on.
    const long next = SendScintilla(SCI_POSITIONAFTER, static_cast<unsigned long>(start));
    return next > start && FindAndSelect(next, TextLength(), text);
}

bool CScriptEditCtrl::SearchBackward(const QByteArray& text)
{
    const long start = GetSelectionStart();
    if (!FindAndSelect(start, 0, text))
        return false;
    if (GetSelectionStart() != start || GetSelectionEnd() != start)
        return true;
    const long previous = SendScintilla(SCI_POSITIONBEFORE, static_cast<unsigned long>(start));
    return previous < start && FindAndSelect(previous, 0, text);
}

long CScriptEditCtrl::SearchInTarget(long start, long end, const QByteArray& text)
{
    SendScintilla(SCI_SETSEARCHFLAGS, m_nSearchFlags);
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(start), end);
    return SendScintilla(SCI_SEARCHINTARGET, static_cast<uintptr_t>(text.size()), text.constData());
}

long CScriptEditCtrl::ReplaceTarget(const QByteArray& replacement)
{
    // A regular expression's replacement may name its groups (\1 ...) from the last search.
    const unsigned message =
        (m_nSearchFlags & SCFIND_REGEXP) != 0 ? SCI_REPLACETARGETRE : SCI_REPLACETARGET;
    return SendScintilla(message, static_cast<uintptr_t>(replacement.size()),
                         replacement.constData());
}

bool CScriptEditCtrl::ReplaceSearchedText(const QByteArray& text, const QByteArray& replacement)
{
    const long start = GetSelectionStart();
    const long end = GetSelectionEnd();
    if (text.isEmpty() || SearchInTarget(start, end, text) != start ||
        SendScintilla(SCI_GETTARGETEND) != end)
        return false;
    const long replaced = ReplaceTarget(replacement);
    // The replacement stays selected, so the next search starts after it.
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(start), start + replaced);
    return true;
}

int CScriptEditCtrl::ReplaceAll(const QByteArray& text, const QByteArray& replacement,
                                bool inSelection)
{
    if (text.isEmpty())
        return 0;
    const long selectionStart = GetSelectionStart();
    SendScintilla(SCI_BEGINUNDOACTION);
    long end = 0;
    const int count = ForEachMatch(text, &replacement, inSelection, &end);
    SendScintilla(SCI_ENDUNDOACTION);
    if (inSelection)
        SendScintilla(SCI_SETSEL, static_cast<unsigned long>(selectionStart), end);
    return count;
}

int CScriptEditCtrl::CountMatches(const QByteArray& text, bool inSelection)
{
    if (text.isEmpty())
        return 0;
    long end = 0;
    return ForEachMatch(text, nullptr, inSelection, &end);
}

int CScriptEditCtrl::ForEachMatch(const QByteArray& text, const QByteArray* replacement,
                                  bool inSelection, long* rangeEnd)
{
    long start = inSelection ? GetSelectionStart() : 0;
    long end = inSelection ? GetSelectionEnd() : TextLength();
    int count = 0;
    while (start <= end) {
        const long found = SearchInTarget(start, end, text);
        if (found < 0)
            break;
        const long matchLength = SendScintilla(SCI_GETTARGETEND) - found;
        // Counting steps over the match as replacing it by nothing would.
        const long replaced = replacement != nullptr ? ReplaceTarget(*replacement) : matchLength;
        ++count;
        if (replacement != nullptr)
            end += replaced - matchLength;
        start = found + replaced;
        if (matchLength == 0) {
            // An empty match (^, x*) would match the same place again: step over a character.
            if (start >= end)
                break;
            start = SendScintilla(SCI_POSITIONAFTER, static_cast<unsigned long>(start));
        }
    }
    *rangeEnd = end;
    return count;
}
