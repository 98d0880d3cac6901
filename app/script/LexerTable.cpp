// Which Scintilla lexer shows a file, by its extension.
#include "CScriptEditCtrl.h"
#include "ScriptConstants.h"

#include <QString>

namespace {

struct LexerEntry
{
    const char* extensions; // separated by '|'
    int lexer;              // Scintilla's number
};

// Searched in this order; the first entry that lists the extension wins.
const LexerEntry kLexers[] = {
    {"py", 2},
    {"tsl|c|cc|cpp|cxx|cs|h|hh|hpp|hxx|sma|dlg|rc|rc2|idl|odl|mak|js|java", kLexerCpp},
    {"htm|html|shtml|htt|cfm|tpl|hta", 4},
    {"xml|gcl|xsl|svg|xul|xsd|dtd|xslt|axl", 5},
    {"pl|pm|cgi|pod", 6},
    {"sql|spec|body|sps|spb|sf|sp", 7},
    {"vb|bas|frm|cls|ctl|pag|dsr|dob", 8},
    {"properties", 9},
    {"err", 10},
    {"iface|mak", 11},
    {"bat|cmd|nt", 12},
    {"xcode", 13},
    {"tex|sty", 14},
    {"lua", 15},
    {"diff", 16},
    {"conf", 17},
    {"pas|inc|pp", 18},
    {"ave", 19},
    {"ada|ads|adb", 20},
    {"lsp|lisp|scm|smd|ss", 21},
    {"rb", 22},
    {"e", 23},
    {"tcl", 25},
    {"tab|spf", 26},
    {"ant", 27},
    {"vbs|dsm", 28},
    {"asp|aspx", 29},
    {"php|php3|php4", 30},
    {"bc|cln", 31},
    {"m", 32},
    {"sol", 33},
    {"asm", 34},
    {"f|for|f90|f95", 36},
    {"f77", 37},
    {"css", 38},
    {"pov", 39},
    {"lt|lot", 40},
    {"src|em", 41},
};

} // namespace

int CScriptEditCtrl::GetLexerForExtension(const QString& extension)
{
    for (const LexerEntry& entry : kLexers) {
        for (const QString& candidate : QString::fromLatin1(entry.extensions).split(u'|')) {
            if (candidate.compare(extension, Qt::CaseInsensitive) == 0)
                return entry.lexer;
        }
    }
    return kLexerNone;
}
