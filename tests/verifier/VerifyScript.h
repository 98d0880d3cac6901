#pragma once

#include <string>
#include <vector>

// Verifies script text the way the script host does (load, compile, check commands) and
// returns the messages in the order they were found.
std::vector<std::string> VerifyScript(const std::string& text);

// The same for a file on disk.
std::vector<std::string> VerifyFile(const std::string& path);

// One main-section line between a fixed set of declarations and BEGIN:/END:. The line lands
// on line 8, so every message of a faulty command reads "line 8". The declarations are:
//   DIM BUF$ 10, DIM W% 4, VAR X% 0, VAR D# 0, EQU MSG "Hi", ASSIGN TAG "T1"
std::string WithDeclarations(const std::string& mainLine);

// One case of a message table: the input and the messages it must give, in order.
struct MessageCase
{
    std::string input;
    std::vector<std::string> messages;
};

// Where a case's input goes: one main line after WithDeclarations' declarations, declaration
// lines before an empty main section, or the whole script.
enum class Place
{
    Main,
    Declarations,
    Whole,
};

// Checks each case of a table.
void ExpectMessages(const std::vector<MessageCase>& cases, Place place);

// Checks that each input gives no message at all.
void ExpectValid(const std::vector<std::string>& inputs, Place place);
