#include "thumbnail_sources.hpp"

#include "hpiutil/archive.hpp"
#include "pcx_image.hpp"
#include "spriteglass/gaf_file.hpp"
#include "spriteglass/surface.hpp"

#include <algorithm>
#include <cctype>
#include <climits>

namespace fs = std::filesystem;

namespace thumbnail {

namespace {

std::uint32_t little32(std::span<const std::uint8_t> head) {
    return std::uint32_t(head[0]) | std::uint32_t(head[1]) << 8 | std::uint32_t(head[2]) << 16 |
           std::uint32_t(head[3]) << 24;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

struct Bounds {
    std::int64_t left = LLONG_MAX, top = LLONG_MAX, right = LLONG_MIN, bottom = LLONG_MIN;
};

// The rectangle every picture below `frame` covers, around a hotspot at (0, 0).
void addBounds(const spriteglass::classGAFFrame& frame, Bounds& bounds) {
    if (!frame.Subframes().empty()) {
        for (const auto& subframe : frame.Subframes()) {
            addBounds(subframe, bounds);
        }
        return;
    }
    if (frame.Width() <= 0 || frame.Height() <= 0) {
        return;
    }
    bounds.left = std::min<std::int64_t>(bounds.left, -frame.PositionX());
    bounds.top = std::min<std::int64_t>(bounds.top, -frame.PositionY());
    bounds.right = std::max<std::int64_t>(bounds.right, -frame.PositionX() + frame.Width());
    bounds.bottom = std::max<std::int64_t>(bounds.bottom, -frame.PositionY() + frame.Height());
}

} // namespace

SourceKind KindOf(std::span<const std::uint8_t> head, const fs::path& path) {
    if (head.size() >= 4) {
        const std::uint32_t first = little32(head);
        if (first == 0x49504148u) { // "HAPI"
            return SourceKind::Archive;
        }
        if (first == 0x00010100u || first == 0x00010101u) {
            return SourceKind::Sprites;
        }
        if (head[0] == 0x0A && head[1] == 5 && head[2] == 1) {
            return SourceKind::Picture;
        }
    }
    const std::string name = lower(path.filename().string());
    if (endsWith(name, ".gaf")) {
        return SourceKind::Sprites;
    }
    if (endsWith(name, ".pcx")) {
        return SourceKind::Picture;
    }
    if (endsWith(name, ".3do")) {
        return SourceKind::Model;
    }
    for (const char* extension : {".hpi", ".ufo", ".ccx", ".gp3"}) {
        if (endsWith(name, extension)) {
            return SourceKind::Archive;
        }
    }
    return SourceKind::Unknown;
}

std::optional<ThumbnailPicture>
SpritePicture(const fs::path& file, const spriteglass::Palette& palette, std::string& why) {
    spriteglass::classGAF gaf;
    gaf.Load(file);
    if (!gaf.FileRead()) {
        why = "cannot read the file";
        return std::nullopt;
    }
    if (gaf.Animations().empty() || gaf.Animations().front().Frames().empty()) {
        why = "no frame to show";
        return std::nullopt;
    }
    const spriteglass::classGAFFrame& frame = gaf.Animations().front().Frames().front();
    Bounds bounds;
    addBounds(frame, bounds);
    if (bounds.right <= bounds.left || bounds.bottom <= bounds.top ||
        (bounds.right - bounds.left) * (bounds.bottom - bounds.top) >
            spriteglass::IndexedSurface::MaxPixels) {
        why = "the first frame has no picture of a usable size";
        return std::nullopt;
    }
    // The frame is drawn as the viewer draws it (subframes in order, MaskIndex
    // transparent) onto a surface that starts transparent.
    spriteglass::IndexedSurface surface;
    if (!surface.Initialize(int(bounds.right - bounds.left), int(bounds.bottom - bounds.top))) {
        why = "out of memory";
        return std::nullopt;
    }
    std::fill_n(surface.addrBits(), std::size_t(surface.BmpWidth()) * surface.BmpHeight(),
                spriteglass::MaskIndex);
    frame.DrawImage(surface, int(-bounds.left), int(-bounds.top));
    ThumbnailPicture drawn;
    drawn.width = surface.BmpWidth();
    drawn.height = surface.BmpHeight();
    drawn.indexed = true;
    drawn.palette = palette;
    drawn.pixels.assign(surface.addrBits(),
                        surface.addrBits() + std::size_t(drawn.width) * drawn.height);
    ThumbnailPicture cropped = CropToOpaque(drawn);
    if (!cropped.valid()) {
        why = "the first frame is transparent throughout";
        return std::nullopt;
    }
    return cropped;
}

std::optional<ThumbnailPicture> PcxPicture(std::span<const std::uint8_t> bytes, std::string& why) {
    std::optional<crateward::pcx::PcxImage> image = crateward::pcx::DecodePcx(bytes, &why);
    if (!image) {
        return std::nullopt;
    }
    if (!image->complete) {
        why = "the picture data ends early";
        return std::nullopt;
    }
    ThumbnailPicture picture;
    picture.width = image->width;
    picture.height = image->height;
    picture.pixels = crateward::pcx::RgbBytes(*image);
    if (!picture.valid()) {
        why = "the picture has no pixels";
        return std::nullopt;
    }
    return picture;
}

std::optional<ThumbnailPicture> ArchivePicture(const fs::path& file, std::string& why) {
    hpiutil::Result<hpiutil::Archive> archive = hpiutil::Archive::open(file);
    if (!archive) {
        why = archive.error().message();
        return std::nullopt;
    }
    const hpiutil::Archive& opened = archive.value();
    // The first unit (units\NAME.fbi, in directory order) with a picture
    // unitpics\NAME.pcx; else the first picture in unitpics\.
    std::optional<std::int32_t> chosen;
    for (const hpiutil::Entry& entry : opened.entries()) {
        const std::string path = lower(entry.path);
        if (entry.directory || entry.depth != 1 || !path.starts_with("units\\") ||
            !endsWith(path, ".fbi")) {
            continue;
        }
        const std::string unit = entry.name.substr(0, entry.name.size() - 4);
        const std::optional<std::int32_t> found = opened.find("unitpics\\" + unit + ".pcx");
        if (found && !opened.entries()[std::size_t(*found)].directory) {
            chosen = found;
            break;
        }
    }
    if (!chosen) {
        if (hpiutil::Result<std::span<const std::uint32_t>> pictures = opened.list("unitpics")) {
            for (std::uint32_t index : pictures.value()) {
                const hpiutil::Entry& entry = opened.entries()[index];
                if (!entry.directory && endsWith(lower(entry.name), ".pcx")) {
                    chosen = std::int32_t(index);
                    break;
                }
            }
        }
    }
    if (!chosen) {
        why = "the archive holds no unit picture";
        return std::nullopt;
    }
    const hpiutil::Entry& member = opened.entries()[std::size_t(*chosen)];
    if (member.size > MaxMemberSize) {
        why = member.path + ": the unit picture is too large";
        return std::nullopt;
    }
    hpiutil::Result<std::vector<std::uint8_t>> bytes = opened.readAll(member);
    if (!bytes) {
        why = bytes.error().message();
        return std::nullopt;
    }
    std::optional<ThumbnailPicture> picture = PcxPicture(bytes.value(), why);
    if (!picture) {
        why = member.path + ": " + why;
    }
    return picture;
}

} // namespace thumbnail
