#include "user_files.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

extern char** environ;

namespace crateward {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> findOnPath(const std::string& tool) {
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + tool;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

WriteResult WriteIfDifferent(const fs::path& file, const std::string& content) {
    if (ReadText(file) == content) {
        return WriteResult::Same;
    }
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    const fs::path temporary = file.string() + ".tmp-" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << content;
        out.flush();
        if (!out) {
            fs::remove(temporary, ec);
            return WriteResult::Failed;
        }
    }
    fs::rename(temporary, file, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return WriteResult::Failed;
    }
    return WriteResult::Written;
}

fs::path UserFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value && *value && fs::path(value).is_absolute()) {
        return value;
    }
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/") / fallback;
}

bool RunInstalledTool(const std::string& tool, const std::vector<std::string>& arguments) {
    const auto program = findOnPath(tool);
    if (!program) {
        return true;
    }
    std::vector<std::string> words{*program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, program->c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return false;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace crateward
