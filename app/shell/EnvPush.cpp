#include "EnvPush.h"

#include "CChildFrame.h"
#include "CTextViewCtrl.h"
#include "EnvSettings.h"

static_assert(int(EnvSettings::ColourCount) == int(kColourCount),
              "the settings keep the colours in the terminal view's order");

void PushEnvSettings(CChildFrame& frame, const EnvSettings& env)
{
    // A monitor frame holds one terminal view, inside its view.
    if (auto* terminal = frame.findChild<CTextViewCtrl*>()) {
        terminal->SetTotalLineMax(env.nMaxLine);
        terminal->SetColor(env.colours.data());
    }
}
