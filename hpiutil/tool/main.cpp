// hpi: list, extract, print, pack, verify and describe HPI archives.
#include "commands.hpp"

#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 2) {
        hpitool::usage(true);
        return 2;
    }
    const std::string command = argv[1];
    hpitool::Args args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        hpitool::usage(false);
        return 0;
    }
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            hpitool::usage(false);
            return 0;
        }
    }
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
    hpitool::usage(true);
    return 2;
}
