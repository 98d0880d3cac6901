#include "EnvSettings.h"

#include "MessageLanguage.h"
#include "ShellConstants.h"

#include <QSettings>
#include <algorithm>

namespace {

const char* const kColourKeys[EnvSettings::ColourCount] = {
    "clrBk",        "clrTextIn",      "clrBkTextIn",   "clrTextOut",     "clrBkTextOut",
    "clrControlIn", "clrBkControlIn", "clrControlOut", "clrBkControlOut"};

// Written in this order: sent colours, received colours, then the background.
constexpr int kSaveOrder[EnvSettings::ColourCount] = {
    EnvSettings::TextOut,      EnvSettings::BkTextOut,   EnvSettings::ControlOut,
    EnvSettings::BkControlOut, EnvSettings::TextIn,      EnvSettings::BkTextIn,
    EnvSettings::ControlIn,    EnvSettings::BkControlIn, EnvSettings::Bk};

constexpr char kLanguageKey[] = "Language";

} // namespace

const char* EnvSettings::ColourKey(int slot)
{
    return kColourKeys[slot];
}

EnvSettings EnvSettings::Load(QSettings& settings)
{
    const EnvSettings defaults;
    EnvSettings env;
    settings.beginGroup(kGroupTarven);
    env.bEcho = settings.value("Echo", int(defaults.bEcho)).toInt() != 0;
    // A hand-edited or damaged value must not give the terminal a limit it cannot hold.
    env.nMaxLine =
        std::clamp(settings.value("MaxLine", defaults.nMaxLine).toInt(), kMinMaxLine, kMaxMaxLine);
    env.bGalmuriFileCreate =
        settings.value("GalmuriFileCreate", int(defaults.bGalmuriFileCreate)).toInt() != 0;
    env.bNullCheck = settings.value("NullCheckFlag", int(defaults.bNullCheck)).toInt() != 0;
    const int encoding = settings.value("RecvEncoding", int(defaults.encoding)).toInt();
    env.encoding = encoding >= 0 && encoding < kTextEncodingCount
                       ? static_cast<TextEncoding>(encoding)
                       : defaults.encoding;
    const QString language = settings.value(kLanguageKey).toString();
    if (tsl::LanguageNamed(language))
        env.strLanguage = language;
    for (int slot = 0; slot < ColourCount; ++slot) {
        env.colours[slot] =
            settings.value(kColourKeys[slot], defaults.colours[slot]).toUInt() & 0x00FFFFFF;
    }
    settings.endGroup();
    return env;
}

void EnvSettings::Save(QSettings& settings) const
{
    settings.beginGroup(kGroupTarven);
    settings.setValue("Echo", int(bEcho));
    settings.setValue("MaxLine", nMaxLine);
    settings.setValue("GalmuriFileCreate", int(bGalmuriFileCreate));
    settings.setValue("NullCheckFlag", int(bNullCheck));
    for (int slot : kSaveOrder)
        settings.setValue(kColourKeys[slot], colours[slot]);
    settings.setValue("RecvEncoding", int(encoding));
    if (strLanguage.isEmpty())
        settings.remove(kLanguageKey);
    else
        settings.setValue(kLanguageKey, strLanguage);
    settings.endGroup();
}
