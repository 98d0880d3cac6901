#pragma once

#include "CProgram.h"

#include <gtest/gtest.h>

#include <memory>

// The whole program as it starts from the command line, built as the desktop program builds
// it, without its splash window.
inline std::unique_ptr<CProgram> StartProgram(const QStringList& files = {})
{
    auto program = std::make_unique<CProgram>();
    EXPECT_TRUE(program->Start(QStringList{"tarven", "--nosplash"} + files));
    return program;
}
