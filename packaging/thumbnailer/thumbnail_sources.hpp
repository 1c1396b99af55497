// What each kind of file shows as its thumbnail, read through the engines:
// a GAF its first entry's first frame, a PCX its picture, an archive the
// unit picture of its first unit. Every reader is the hostile-input one the
// programs use; nothing here parses a format itself.
#pragma once

#include "thumbnail_picture.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace thumbnail {

enum class SourceKind { Unknown, Sprites, Picture, Archive, Model };

// The kind of a file from its first bytes, else from its extension (any case).
SourceKind KindOf(std::span<const std::uint8_t> head, const std::filesystem::path& path);

// Each gives the picture or nothing, with the reason in `why`.
std::optional<ThumbnailPicture> SpritePicture(const std::filesystem::path& file,
                                              const spriteglass::Palette& palette,
                                              std::string& why);
std::optional<ThumbnailPicture> PcxPicture(std::span<const std::uint8_t> bytes, std::string& why);
std::optional<ThumbnailPicture> ArchivePicture(const std::filesystem::path& file, std::string& why);

// Members larger than this are not read for a thumbnail.
inline constexpr std::uint32_t MaxMemberSize = 16u << 20;

} // namespace thumbnail
