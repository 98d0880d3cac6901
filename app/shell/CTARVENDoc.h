#pragma once

#include "CDocument.h"

// Monitor document: the link lives in its view, so the document itself keeps no data.
class CTARVENDoc : public CDocument
{
    Q_OBJECT
};
