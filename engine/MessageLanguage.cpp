#include "MessageLanguage.h"

#include <QCoreApplication>
#include <QTranslator>

#include <atomic>

namespace tsl {

namespace {

constexpr const char* kTranslationPath = ":/i18n/tarven_en.qm";

// Set once at start-up and read from the run and check threads.
std::atomic<Language> g_messageLanguage{Language::Korean};

} // namespace

std::optional<Language> LanguageNamed(QStringView name)
{
    if (name == u"ko")
        return Language::Korean;
    if (name == u"en")
        return Language::English;
    return std::nullopt;
}

bool InstallEnglishTranslation()
{
    // Outlives the application object, which keeps only a pointer to it.
    static QTranslator translator;
    static const bool installed = translator.load(QString::fromLatin1(kTranslationPath)) &&
                                  QCoreApplication::installTranslator(&translator);
    return installed;
}

void SetMessageLanguage(Language language)
{
    g_messageLanguage.store(language, std::memory_order_relaxed);
}

Language MessageLanguage()
{
    return g_messageLanguage.load(std::memory_order_relaxed);
}

std::string MessageText(const char* pszSource)
{
    if (MessageLanguage() == Language::Korean)
        return pszSource;
    return QCoreApplication::translate("TSL", pszSource).toStdString();
}

} // namespace tsl
