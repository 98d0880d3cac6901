#pragma once

struct EnvSettings;
class CChildFrame;

// Gives the terminal view of a monitor frame the line limit and colours of env.
void PushEnvSettings(CChildFrame& frame, const EnvSettings& env);
