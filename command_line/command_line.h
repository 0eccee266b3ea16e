// The manners every Tessera command shares: --help prints the usage on standard
// output, --version the name and version, and a wrong argument one line naming
// the program and the fault, then a hint at --help, on standard error with
// status 2.
#pragma once

#include <string>

struct CommandUsage {
    const char* name;     // the command, first word of every message
    const char* synopsis; // one or more lines, each a way to call it, without the name
    const char* details;  // what --help adds below the synopsis; may be empty
};

// Answers --help or --version when either is among the arguments (before a
// "--"): the exit status to end with, 0. -1 when neither was asked for.
int AnswerHelpOrVersion(int argc, char** argv, const CommandUsage& usage);

// Reports a wrong argument: "NAME: MESSAGE" and "Try 'NAME --help' ..." on
// standard error. Returns the status to end with, 2.
int UsageError(const CommandUsage& usage, const std::string& message);

// True when `argument` looks like an option ("-x", "--x"; a lone "-" is a name).
bool IsOption(const char* argument);

// `text` as it may be printed in a message: control characters (a newline, an
// escape that would move the cursor or recolour the terminal) written as C
// escapes, "\n", "\x1b"; every other byte as it is.
std::string Printable(const std::string& text);
