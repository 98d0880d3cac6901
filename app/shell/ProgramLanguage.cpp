#include "ProgramLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

ProgramLanguage ProgramLanguage::Choose(const QString& strOption, const QString& strSetting,
                                        const QLocale& system)
{
    std::optional<tsl::Language> chosen = tsl::LanguageNamed(strOption);
    if (!chosen)
        chosen = tsl::LanguageNamed(strSetting);
    if (chosen)
        return {*chosen, *chosen};
    const tsl::Language windows =
        system.language() == QLocale::Korean ? tsl::Language::Korean : tsl::Language::English;
    return {windows, tsl::Language::Korean};
}

void ProgramLanguage::Apply() const
{
    tsl::SetMessageLanguage(messages);
    // One translation holds the windows' texts and the messages; the message language decides
    // which of them scripts are told in.
    if (windows == tsl::Language::English) {
        tsl::InstallEnglishTranslation();
    } else {
        // Qt's standard buttons and dialogs ("OK", "Cancel", the file dialog) in Korean too.
        static QTranslator qtKorean;
        if (qtKorean.load(QLocale(QLocale::Korean), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&qtKorean);
    }
}
