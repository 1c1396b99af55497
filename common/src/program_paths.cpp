#include "common/program_paths.hpp"

namespace common {

namespace fs = std::filesystem;

fs::path ProgramDirectory() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

fs::path ProgramDataFile(std::string_view name, const fs::path& programDirectory) {
    std::error_code ec;
    const fs::path beside = programDirectory / name;
    if (fs::is_regular_file(beside, ec)) {
        return beside;
    }
    const fs::path shared = programDirectory / ".." / "share" / "crateward" / name;
    if (fs::is_regular_file(shared, ec)) {
        return shared.lexically_normal();
    }
    return beside;
}

fs::path ProgramDataFile(std::string_view name) {
    return ProgramDataFile(name, ProgramDirectory());
}

} // namespace common
