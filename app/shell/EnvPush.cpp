#include "EnvPush.h"

#include "CChildFrame.h"
#include "EnvSettings.h"

void PushEnvSettings(CChildFrame& frame, const EnvSettings& env)
{
    emit frame.envSettingsPushed(env);
}
