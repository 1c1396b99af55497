// `--help` and `--version` for every program and tool. The GUI programs take
// their whole command line as one path, so only a command line that is
// exactly one of the two words is answered; anything else is left to the
// program. TOOLKIT_VERSION, the project's version, is defined for the
// programs' main files (packaging/CMakeLists.txt).
#pragma once

#include <cstdio>
#include <cstring>

namespace common {

// Prints `usage` (for --help) or "NAME VERSION" (for --version) on standard
// output and returns true when the arguments are exactly one of those words;
// the program then exits with 0.
inline bool AnswerHelpOrVersion(int argc, char** argv, const char* name, const char* usage,
                                const char* version) {
    if (argc != 2) {
        return false;
    }
    if (std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usage, stdout);
        return true;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s %s\n", name, version);
        return true;
    }
    return false;
}

} // namespace common
