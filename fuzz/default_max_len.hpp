// Sets libFuzzer's -max_len for a target when the command line gives none:
// called from LLVMFuzzerInitialize. Large inputs multiply the work of every
// run without reaching code that small ones do not.
#pragma once

#include <cstring>
#include <string>
#include <vector>

inline void AddDefaultMaxLen(int* argc, char*** argv, const char* option) {
    for (int i = 1; i < *argc; ++i) {
        if (std::strncmp((*argv)[i], "-max_len=", 9) == 0) {
            return;
        }
    }
    static std::vector<char*> arguments((*argv), (*argv) + *argc);
    static std::string limit = option;
    arguments.insert(arguments.begin() + 1, limit.data());
    arguments.push_back(nullptr);
    *argv = arguments.data();
    *argc += 1;
}
