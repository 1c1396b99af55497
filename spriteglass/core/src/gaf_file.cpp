#include "spriteglass/gaf_file.hpp"

#include "spriteglass/gaf_load_context.hpp"
#include "spriteglass/text.hpp"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <unordered_set>

namespace spriteglass {

bool classGAF::Load(const std::filesystem::path& Filename, const Progress& progress) {
    animations_.clear();
    fileRead_ = false;
    version_ = 0;
    unknown8_ = 0;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(Filename, ec)) {
        return true;
    }
    const std::uintmax_t size = std::filesystem::file_size(Filename, ec);
    if (ec || size > MaxFileSize) {
        return true;
    }
    std::ifstream in(Filename, std::ios::binary);
    if (!in) {
        return true;
    }
    // Left uninitialised: the read fills it.
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[std::max<std::uintmax_t>(size, 1)]);
    in.read(reinterpret_cast<char*>(bytes.get()), std::streamsize(size));
    LoadBytes(std::span(bytes.get(), std::size_t(in.gcount())), progress);
    fileRead_ = true;
    return true;
}

bool classGAF::LoadBytes(std::span<const std::uint8_t> bytes, const Progress& progress,
                         std::int64_t pixelLimit) {
    animations_.clear();
    fileRead_ = true;
    GafLoadContext context(bytes, pixelLimit);
    version_ = context.read<std::uint32_t>(0).value_or(0);
    unknown8_ = context.read<std::int32_t>(8).value_or(0);
    const auto entryCount = context.read<std::int32_t>(4);
    if (!entryCount || *entryCount <= 0) {
        return true;
    }
    // The offset table cannot hold more entries than the bytes behind the header.
    const std::int64_t entries =
        std::min<std::int64_t>(*entryCount, std::max<std::int64_t>(0, (context.size() - 12) / 4));
    std::unordered_set<std::string> names;
    for (std::int64_t i = 0; i < entries; ++i) {
        if (progress) {
            progress(int(i), int(*entryCount - 1));
        }
        const std::int32_t offset = *context.read<std::int32_t>(12 + 4 * i);
        if (!context.has(offset, 40)) {
            continue;
        }
        // The first entry of a name wins: a later one is not even loaded, so
        // entries that repeat one record cannot multiply the work of a load.
        const char* name = reinterpret_cast<const char*>(context.at(offset + 8));
        if (!names.insert(NameKey(std::string_view(name, strnlen(name, 32)))).second) {
            continue;
        }
        classGAFAnimation animation;
        animation.Load(context, offset);
        animations_.push_back(std::move(animation));
    }
    return true;
}

std::vector<std::string> classGAF::EntryNames(std::span<const std::uint8_t> bytes) {
    GafLoadContext context(bytes);
    std::vector<std::string> result;
    const auto entryCount = context.read<std::int32_t>(4);
    if (!entryCount || *entryCount <= 0) {
        return result;
    }
    const std::int64_t entries =
        std::min<std::int64_t>(*entryCount, std::max<std::int64_t>(0, (context.size() - 12) / 4));
    std::unordered_set<std::string> names;
    for (std::int64_t i = 0; i < entries; ++i) {
        const std::int32_t offset = *context.read<std::int32_t>(12 + 4 * i);
        if (!context.has(offset, 40)) {
            continue;
        }
        const char* name = reinterpret_cast<const char*>(context.at(offset + 8));
        const std::string_view entry(name, strnlen(name, 32));
        if (names.insert(NameKey(entry)).second) {
            result.emplace_back(entry);
        }
    }
    return result;
}

const classGAFAnimation* classGAF::Find(std::string_view name) const {
    for (const classGAFAnimation& animation : animations_) {
        if (SameNameIgnoringCase(animation.Name(), name)) {
            return &animation;
        }
    }
    return nullptr;
}

std::size_t classGAF::ExportAllImages(const std::filesystem::path& directory,
                                      const Palette& palette, ImageFormat format) const {
    std::size_t failed = 0;
    for (const classGAFAnimation& animation : animations_) {
        failed += animation.ExportAllImages(directory, palette, format);
    }
    return failed;
}

} // namespace spriteglass
