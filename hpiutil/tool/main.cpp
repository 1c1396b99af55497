// hpi: list, extract, print, pack, verify and describe HPI archives.
#include "commands.hpp"
#include "game_commands.hpp"
#ifdef HPI_UNITCHECK
#include "unit_commands.hpp"
#endif

#include <cstdio>
#include <cstring>
#include <iostream>

namespace {

// The archive commands' usage, then the game folder commands'.
void printUsage(bool toStderr) {
    hpitool::usage(toStderr);
    (toStderr ? std::cerr : std::cout) << hpitool::gameUsage();
#ifdef HPI_UNITCHECK
    (toStderr ? std::cerr : std::cout) << hpitool::unitUsage();
#endif
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(true);
        return 2;
    }
    const std::string command = argv[1];
    hpitool::Args args(argv + 2, argv + argc);
    if (command == "--version") {
        std::printf("hpi %s\n", TOOLKIT_VERSION);
        return 0;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        printUsage(false);
        return 0;
    }
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            printUsage(false);
            return 0;
        }
    }
    if ((command == "cat" || command == "extract") && hpitool::wantsGame(args)) {
        return command == "cat" ? hpitool::gameCat(args) : hpitool::gameExtract(args);
    }
    if (command == "game") {
        return hpitool::game(args);
    }
    if (command == "which") {
        return hpitool::which(args);
    }
    if (command == "shadowed") {
        return hpitool::shadowed(args);
    }
#ifdef HPI_UNITCHECK
    if (command == "unitcheck") {
        return hpitool::unitcheck(args);
    }
#endif
    if (command == "list") {
        return hpitool::list(args);
    }
    if (command == "extract") {
        return hpitool::extract(args);
    }
    if (command == "cat") {
        return hpitool::cat(args);
    }
    if (command == "pack") {
        return hpitool::pack(args);
    }
    if (command == "verify") {
        return hpitool::verify(args);
    }
    if (command == "info") {
        return hpitool::info(args);
    }
    std::cerr << "hpi: unknown command \"" << command << "\"\n";
    printUsage(true);
    return 2;
}
