#pragma once

#include "CTSL.h"
#include "TempDir.h"

#include <memory>
#include <string>
#include <vector>

// A runtime with a script loaded and compiled from text.
inline std::unique_ptr<CTSL> CompileScript(const std::string& text)
{
    ScriptFile file(text);
    auto tsl = std::make_unique<CTSL>(nullptr, "");
    tsl->_CompileMainScript1(tsl->LoadScript(file.Path().c_str()));
    return tsl;
}

// Takes every queued PRINT line.
inline std::vector<std::string> TakePrinted(CTSL& tsl)
{
    std::vector<std::string> lines;
    std::lock_guard lock(tsl.m_csPrint);
    for (const auto& message : tsl.m_listPrint)
        lines.emplace_back(message->m_pszText.get());
    tsl.m_listPrint.clear();
    return lines;
}
