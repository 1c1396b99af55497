#include "meshglass/TextureLookup.hpp"

#include "spriteglass/gaf_file.hpp"
#include "spriteglass/text.hpp"

#include <algorithm>
#include <limits>

namespace meshglass {

namespace fs = std::filesystem;

namespace {

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return result;
}

// The palette index nearest (by squared distance) to the texels' mean colour.
std::uint8_t averageColour(const std::vector<std::uint8_t>& texels,
                           const spriteglass::Palette& palette) {
    if (texels.empty()) {
        return 0;
    }
    std::uint64_t sum[3] = {0, 0, 0};
    for (std::uint8_t t : texels) {
        for (int c = 0; c < 3; ++c) {
            sum[c] += palette[std::size_t(t) * 4 + std::size_t(c)];
        }
    }
    int mean[3];
    for (int c = 0; c < 3; ++c) {
        mean[c] = int(sum[c] / texels.size());
    }
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int k = 0; k < 256; ++k) {
        int distance = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = int(palette[std::size_t(k) * 4 + std::size_t(c)]) - mean[c];
            distance += d * d;
        }
        if (distance < bestDistance) {
            bestDistance = distance;
            best = k;
        }
    }
    return std::uint8_t(best);
}

} // namespace

TextureLookup::TextureLookup(const spriteglass::Palette& palette) : palette_(palette) {}

TextureLookup::~TextureLookup() = default;

void TextureLookup::AddSource(std::unique_ptr<TextureSource> source) {
    if (source == nullptr) {
        return;
    }
    sources_.push_back(std::move(source));
    files_.emplace_back();
    entryNames_.emplace_back();
    // A source added later may hold names that were missing so far.
    for (auto it = found_.begin(); it != found_.end();) {
        it = it->second == nullptr ? found_.erase(it) : std::next(it);
    }
}

const std::vector<TextureLookup::LoadedFile>& TextureLookup::FilesOf(std::size_t source) {
    std::optional<std::vector<LoadedFile>>& files = files_[source];
    if (!files) {
        files.emplace();
        for (const std::string& name : sources_[source]->TextureFiles()) {
            auto gaf = std::make_unique<spriteglass::classGAF>();
            if (auto bytes = sources_[source]->ReadTextureFile(name)) {
                gaf->LoadBytes(*bytes);
            }
            files->push_back(LoadedFile{name, std::move(gaf)});
        }
    }
    return *files;
}

std::unique_ptr<FoundTexture> TextureLookup::Picture(const LoadedFile& file,
                                                     std::string_view name) const {
    const spriteglass::classGAFAnimation* entry = file.gaf->Find(name);
    if (entry == nullptr || entry->Frames().empty()) {
        return nullptr;
    }
    // The first frame's own pixels, or its first subframe's when it is made
    // of subframes.
    const spriteglass::classGAFFrame* frame = &entry->Frames().front();
    if (!frame->Subframes().empty()) {
        frame = &frame->Subframes().front();
    }
    const int width = frame->Width();
    const int height = frame->Height();
    const std::vector<std::uint8_t>& pixels = frame->Pixels();
    if (width <= 0 || height <= 0 || pixels.size() != std::size_t(width) * std::size_t(height)) {
        return nullptr;
    }
    auto found = std::make_unique<FoundTexture>();
    found->file = file.name;
    found->entry = entry->Name();
    found->width = std::min(width, MaxTextureSide);
    found->height = std::min(height, MaxTextureSide);
    found->texels.resize(std::size_t(found->width) * std::size_t(found->height));
    for (int r = 0; r < found->height; ++r) {
        const int sourceRow = int(std::int64_t(r) * height / found->height);
        for (int c = 0; c < found->width; ++c) {
            const int sourceColumn = int(std::int64_t(c) * width / found->width);
            found->texels[std::size_t(r) * std::size_t(found->width) + std::size_t(c)] =
                pixels[std::size_t(sourceRow) * std::size_t(width) + std::size_t(sourceColumn)];
        }
    }
    found->averageColour = averageColour(found->texels, palette_);
    return found;
}

const FoundTexture* TextureLookup::Find(std::string_view name) {
    if (name.empty()) {
        return nullptr;
    }
    const std::string key = lower(name);
    if (auto it = found_.find(key); it != found_.end()) {
        return it->second.get();
    }
    std::unique_ptr<FoundTexture> found;
    for (std::size_t source = 0; source < sources_.size() && found == nullptr; ++source) {
        for (const LoadedFile& file : FilesOf(source)) {
            if ((found = Picture(file, name)) != nullptr) {
                break;
            }
        }
    }
    return (found_[key] = std::move(found)).get();
}

std::optional<std::string> TextureLookup::FileHolding(std::string_view name) {
    if (name.empty()) {
        return std::nullopt;
    }
    const std::string key = spriteglass::NameKey(name);
    for (std::size_t source = 0; source < sources_.size(); ++source) {
        auto& files = entryNames_[source];
        if (!files) {
            files.emplace();
            for (const std::string& file : sources_[source]->TextureFiles()) {
                std::vector<std::string> names;
                if (auto bytes = sources_[source]->ReadTextureFile(file)) {
                    names = spriteglass::classGAF::EntryNames(*bytes);
                    for (std::string& n : names) {
                        n = spriteglass::NameKey(n);
                    }
                    std::sort(names.begin(), names.end());
                }
                files->emplace_back(file, std::move(names));
            }
        }
        for (const auto& [file, names] : *files) {
            if (std::binary_search(names.begin(), names.end(), key)) {
                return file;
            }
        }
    }
    return std::nullopt;
}

void AddModelTextureSources(TextureLookup& lookup, const fs::path& modelFile,
                            const fs::path& gameFolder, const fs::path& extra) {
    if (!extra.empty()) {
        if (auto textures = TexturesFolderIn(extra)) {
            lookup.AddSource(std::make_unique<FolderTextureSource>(*textures));
        }
        lookup.AddSource(std::make_unique<FolderTextureSource>(extra));
    }
    if (!modelFile.empty()) {
        std::error_code error;
        fs::path folder = fs::absolute(modelFile, error).parent_path();
        // From the model's folder up to the root, each level once.
        for (int level = 0; level < 64 && !folder.empty(); ++level) {
            if (auto textures = TexturesFolderIn(folder)) {
                lookup.AddSource(std::make_unique<FolderTextureSource>(*textures));
            }
            const fs::path parent = folder.parent_path();
            if (parent == folder) {
                break;
            }
            folder = parent;
        }
    }
    if (!gameFolder.empty()) {
        if (auto textures = TexturesFolderIn(gameFolder)) {
            lookup.AddSource(std::make_unique<FolderTextureSource>(*textures));
        }
    }
}

} // namespace meshglass
