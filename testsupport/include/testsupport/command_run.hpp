// Runs a command line of the tools under test through the shell and keeps
// what it wrote to standard output and how it ended.
#pragma once

#include <string>
#include <string_view>

namespace testsupport {

struct CommandRun {
    int code = -1; // the exit status, or -1 when the command did not exit
    std::string out;
};

// `text` in single quotes for the shell, embedded quotes kept.
std::string shellQuote(std::string_view text);

// Runs `command` with /bin/sh; standard error goes where the command says.
CommandRun runCommand(const std::string& command);

} // namespace testsupport
