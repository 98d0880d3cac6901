#pragma once

#include "MessageLanguage.h"

#include <QString>

class QLocale;

// The languages the program runs in: one for its windows, one for the verifier's and runtime's
// messages of scripts.
struct ProgramLanguage
{
    tsl::Language windows = tsl::Language::Korean;
    tsl::Language messages = tsl::Language::Korean;

    // Settings value name, in the "TARVEN" group: "ko", "en", or absent for the system's choice.
    static constexpr char kSettingKey[] = "Language";

    // --lang, then the setting, choose both languages; neither given, the windows follow the
    // system's locale (Korean for a Korean locale, English for any other) and the messages stay
    // Korean, as scripts and bench logs compare them. A word that names no language counts as
    // not given.
    static ProgramLanguage Choose(const QString& strOption, const QString& strSetting,
                                  const QLocale& system);

    // Installs the translations: the program's own English, or Qt's Korean texts for its
    // standard dialogs and buttons.
    void Apply() const;
};
