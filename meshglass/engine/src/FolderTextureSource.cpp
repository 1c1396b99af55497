#include "meshglass/TextureSource.hpp"

#include <algorithm>
#include <fstream>

namespace meshglass {

namespace fs = std::filesystem;

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

} // namespace

FolderTextureSource::FolderTextureSource(fs::path folder) : folder_(std::move(folder)) {}

std::string FolderTextureSource::Describe() const {
    return folder_.string();
}

std::vector<std::string> FolderTextureSource::TextureFiles() {
    std::vector<std::string> files;
    std::error_code error;
    for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError) || lower(it->path().extension().string()) != ".gaf") {
            continue;
        }
        files.push_back(it->path().string());
    }
    std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        const std::string la = lower(a);
        const std::string lb = lower(b);
        return la != lb ? la < lb : a < b;
    });
    return files;
}

std::optional<std::vector<std::uint8_t>>
FolderTextureSource::ReadTextureFile(const std::string& file) {
    std::error_code error;
    const std::uint64_t size = fs::file_size(file, error);
    if (error || size > MaxFileSize) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes(size);
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size))) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<fs::path> TexturesFolderIn(const fs::path& parent) {
    const fs::path exact = parent / "textures";
    std::error_code error;
    if (fs::is_directory(exact, error)) {
        return exact;
    }
    std::optional<fs::path> found;
    for (fs::directory_iterator it(parent, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError) && lower(it->path().filename().string()) == "textures" &&
            (!found || it->path() < *found)) {
            found = it->path();
        }
    }
    return found;
}

} // namespace meshglass
