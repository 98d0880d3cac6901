// tsltable: creates, fills, reads and removes a shared tag table from the command line, as the
// other programs that share a table with running scripts do.
#include "ArgumentText.h"
#include "TagTableCommands.h"
#include "TerminalText.h"

#include <QCommandLineParser>

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = R"(Usage: tsltable NAME COMMAND [ARGUMENTS]

Works on the shared tag table NAME that TSL scripts name with TABLE_NAME.

Commands:
  create                     create the 10 MiB table if it does not exist
  add TAG TYPE LENGTH        append a tag: TYPE is byte (LENGTH 1), int (2 or 4),
                             float (4) or text (1 to 65535 bytes)
  set TAG VALUE              write a value: a whole number, a number, or a text
  get TAG                    print a value: byte and int in decimal, float with %g,
                             text up to its first NUL
  list                       print every tag: name, type, length, value (tab-separated;
                             control bytes in a text as <XX>)
  remove                     remove the table and its semaphores

Options:
  -h, --help                 print this text
  --version                  print the version

A table name that starts with '-' follows "--": tsltable -- -name list

Exit status: 0 on success, 1 on any error (the reason goes to standard error).
)";

// A mistake of the command line: one line, and where to read more.
int UsageError(const std::string& message)
{
    TagTableCommands::Fail(message);
    WriteDiagnostic("Try 'tsltable --help'");
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    TellQtMessagesAs("tsltable");
    QCommandLineParser parser;
    // Everything after the table name is the command's, so that "set TAG -5" keeps its value.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({"h", "help"}, "print this text");
    parser.addOption(help);
    const QCommandLineOption version("version", "print the version");
    parser.addOption(version);
    if (!parser.parse(ArgumentList(argc, argv)))
        return UsageError(ArgumentBytes(parser.errorText()));
    if (parser.isSet(help)) {
        std::cout << kUsage;
        return 0;
    }
    if (parser.isSet(version)) {
        std::cout << "tsltable " << TARVEN_VERSION << '\n';
        return 0;
    }
    std::vector<std::string> args;
    for (const QString& argument : parser.positionalArguments())
        args.push_back(ArgumentBytes(argument));
    if (args.size() < 2)
        return UsageError(args.empty() ? "no table name given" : "no command given");
    const std::string& table = args[0];
    const std::string& command = args[1];
    const std::size_t extra = args.size() - 2;
    if (command == "create" && extra == 0)
        return TagTableCommands::Create(table);
    if (command == "add" && extra == 3)
        return TagTableCommands::Add(table, args[2], args[3], args[4]);
    if (command == "set" && extra == 2)
        return TagTableCommands::Set(table, args[2], args[3]);
    if (command == "get" && extra == 1)
        return TagTableCommands::Get(table, args[2]);
    if (command == "list" && extra == 0)
        return TagTableCommands::List(table);
    if (command == "remove" && extra == 0)
        return TagTableCommands::Remove(table);
    return UsageError("unknown command or wrong number of arguments: \"" + command + "\"");
}
