#pragma once

#include "CDocument.h"

// Script document: a TSL file that its editor view loads and saves.
class CScriptEditDoc : public CDocument
{
    Q_OBJECT
};
