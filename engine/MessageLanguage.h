#pragma once

#include <QStringView>

#include <optional>
#include <string>

// The language of the texts the library and the programs show. Korean is the source of every
// text; English comes from the translation built into the library.
namespace tsl {

enum class Language
{
    Korean,
    English
};

// "ko" or "en", as --lang and the settings take them; nothing for any other word.
std::optional<Language> LanguageNamed(QStringView name);

// Installs the English translation into the application object, which must exist (once; later
// calls answer as the first).
// False when the translation cannot be loaded, which leaves every text Korean.
bool InstallEnglishTranslation();

// The language of the verifier's and the runtime's messages of scripts. Korean unless chosen:
// scripts and the logs of test benches compare these messages.
void SetMessageLanguage(Language language);
Language MessageLanguage();

// A verifier or runtime message (a source text marked for the "TSL" context) in the message
// language. Printf conversions in the English text are the source's, in the same order.
std::string MessageText(const char* pszSource);

} // namespace tsl
