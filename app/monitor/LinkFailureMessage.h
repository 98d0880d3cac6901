#pragma once

#include "CMonitorLink.h"

class QWidget;

// Tells the user, in a box over parent, why the link of settings link did not open or connect.
void ShowLinkFailure(CMonitorLink::Failure failure, const LinkSettings& link, const QString& reason,
                     QWidget* parent);
