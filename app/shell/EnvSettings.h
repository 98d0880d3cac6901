#pragma once

#include "ColorRef.h"
#include "ShellConstants.h"
#include "TextEncoding.h"

#include <QString>

#include <array>

class QSettings;

// The environment settings of the terminal windows, kept by the main frame.
struct EnvSettings
{
    // Colour slots in the order the terminal view takes them.
    enum Colour
    {
        Bk,
        TextIn,
        BkTextIn,
        TextOut,
        BkTextOut,
        ControlIn,
        BkControlIn,
        ControlOut,
        BkControlOut,
        ColourCount
    };

    bool bEcho = true;
    int nMaxLine = kDefaultMaxLine;
    bool bGalmuriFileCreate = true;
    bool bNullCheck = true;
    // How received bytes that are not ASCII are shown, and typed text is sent.
    TextEncoding encoding = TextEncoding::Auto;
    // The language of the windows and of script messages: "ko", "en", or empty for the system's
    // choice (read at start-up).
    QString strLanguage;
    std::array<COLORREF, ColourCount> colours = {0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000,
                                                 0x000000, 0x0000FF, 0x0000FF, 0x000000};

    // Settings value names of the colour slots.
    static const char* ColourKey(int slot);

    // Reads the values of the "TARVEN" group; absent values take the defaults above.
    static EnvSettings Load(QSettings& settings);
    void Save(QSettings& settings) const;

    bool operator==(const EnvSettings&) const = default;
};
