#pragma once

#include <QStringList>

#include <string>

// Command-line arguments for QCommandLineParser with every byte kept: each byte of argv becomes
// one Latin-1 character, so a file, table or tag name that is not valid in the locale comes
// back unchanged.
QStringList ArgumentList(int argc, char** argv);
// The bytes of an argument that ArgumentList made.
std::string ArgumentBytes(const QString& argument);
