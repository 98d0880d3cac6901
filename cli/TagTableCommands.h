#pragma once

#include <string>

// The tsltable commands. Each writes its result to standard output and any failure to
// standard error, and returns the exit status: 0, or 1 on failure.
namespace TagTableCommands {

int Create(const std::string& table);
int Add(const std::string& table, const std::string& tag, const std::string& type,
        const std::string& length);
int Set(const std::string& table, const std::string& tag, const std::string& text);
int Get(const std::string& table, const std::string& tag);
int List(const std::string& table);
int Remove(const std::string& table);

// Prints "tsltable: <message>" on standard error and returns 1.
int Fail(const std::string& message);

} // namespace TagTableCommands
