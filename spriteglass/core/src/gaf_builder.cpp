#include "spriteglass/gaf_builder.hpp"

#include "common/codepage.hpp"
#include "spriteglass/gaf_load_context.hpp"
#include "spriteglass/gaf_manifest.hpp"
#include "spriteglass/json_value.hpp"
#include "spriteglass/picture_reader.hpp"
#include "spriteglass/run_length_encoder.hpp"

#include <algorithm>
#include <fstream>
#include <initializer_list>

namespace spriteglass {

namespace {

using Kind = JsonValue::Kind;

constexpr std::int32_t kAnimatedTag = 2;
constexpr std::int32_t kStillTag = 10; // what the game's files tag other frames with
constexpr std::uint64_t kMaxPictureFileBytes = 256u << 20;

struct Failure {
    std::string reason;
};

class Builder {
public:
    Builder(const PictureSource& pictures, const Palette& palette, const GafBuildOptions& options)
        : pictures_(pictures), palette_(palette), options_(options) {}

    std::vector<std::string> notes;

    classGAF file(const JsonValue& root) {
        object(root, "the manifest", {"version", "unknown_8", "entries"});
        const std::int64_t version =
            integer(root, "version", 0, UINT32_MAX, classGAF::StandardVersion, "the manifest");
        if (version != classGAF::StandardVersion) {
            notes.push_back("the manifest's version " + std::to_string(version) +
                            " is written as the game's version " +
                            std::to_string(classGAF::StandardVersion));
        }
        const std::int32_t unknown8 =
            std::int32_t(integer(root, "unknown_8", INT32_MIN, INT32_MAX, 0, "the manifest"));
        const JsonValue* entries = root.find("entries");
        if (!entries || entries->kind != Kind::Array) {
            throw Failure{"the manifest has no \"entries\" list"};
        }
        std::vector<classGAFAnimation> animations;
        for (std::size_t i = 0; i < entries->items.size(); ++i) {
            animations.push_back(entry(entries->items[i], "entry " + std::to_string(i + 1)));
        }
        return classGAF(std::move(animations), classGAF::StandardVersion, unknown8);
    }

private:
    static void object(const JsonValue& v, const std::string& where,
                       std::initializer_list<std::string_view> keys) {
        if (v.kind != Kind::Object) {
            throw Failure{where + " is not a JSON object"};
        }
        for (const std::string& key : v.keys) {
            bool known = false;
            for (const std::string_view k : keys) {
                known = known || k == key;
            }
            if (!known) {
                throw Failure{where + ": unknown key \"" + key + "\""};
            }
        }
    }

    static std::int64_t integer(const JsonValue& v, const char* key, std::int64_t low,
                                std::int64_t high, std::int64_t fallback,
                                const std::string& where) {
        const JsonValue* member = v.find(key);
        if (!member) {
            return fallback;
        }
        const auto value = member->integer(low, high);
        if (!value) {
            throw Failure{where + ": \"" + key + "\" must be a whole number from " +
                          std::to_string(low) + " to " + std::to_string(high)};
        }
        return *value;
    }

    classGAFAnimation entry(const JsonValue& v, std::string where) {
        object(v, where, {"name", "animated", "unknown_2", "unknown_4", "name_padding", "frames"});
        const JsonValue* nameValue = v.find("name");
        if (!nameValue || nameValue->kind != Kind::String) {
            throw Failure{where + ": \"name\" is required"};
        }
        where += " (\"" + nameValue->text + "\")";
        const auto name = common::utf8ToCp1252(nameValue->text);
        if (!name) {
            throw Failure{where + ": the name has characters the game's code page cannot hold"};
        }
        if (name->size() > 32) {
            throw Failure{where + ": the name is " + std::to_string(name->size()) +
                          " characters long; names hold at most 32"};
        }
        GafEntryFields fields;
        fields.unknown2 = std::int16_t(integer(v, "unknown_2", INT16_MIN, INT16_MAX, 1, where));
        fields.unknown4 = std::int32_t(integer(v, "unknown_4", INT32_MIN, INT32_MAX, 0, where));
        if (const JsonValue* padding = v.find("name_padding")) {
            fields.namePadding = hexBytes(*padding, where);
            if (fields.namePadding.size() != 32 - name->size() ||
                (!fields.namePadding.empty() && fields.namePadding[0] != '\0')) {
                throw Failure{where + ": \"name_padding\" must be the " +
                              std::to_string(32 - name->size()) +
                              " bytes behind the name, a NUL first"};
            }
        }
        const JsonValue* framesValue = v.find("frames");
        if (framesValue && framesValue->kind != Kind::Array) {
            throw Failure{where + ": \"frames\" must be a list"};
        }
        bool animated = false;
        if (const JsonValue* flag = v.find("animated")) {
            if (flag->kind != Kind::Bool) {
                throw Failure{where + ": \"animated\" must be true or false"};
            }
            animated = flag->boolean;
        }
        std::vector<classGAFFrame> frames;
        std::vector<std::int32_t> tags;
        const std::size_t count = framesValue ? framesValue->items.size() : 0;
        for (std::size_t f = 0; f < count; ++f) {
            const std::string frameWhere = where + " frame " + std::to_string(f + 1);
            const JsonValue& item = framesValue->items[f];
            frames.push_back(frame(item, frameWhere, true, 0));
            tags.push_back(std::int32_t(integer(item, "tag", INT32_MIN, INT32_MAX,
                                                animated ? kAnimatedTag : kStillTag, frameWhere)));
            if (tags.back() == kAnimatedTag && !animated) {
                if (v.find("animated")) {
                    throw Failure{frameWhere + ": the tag 2 marks the entry animated, but "
                                               "\"animated\" is false"};
                }
                animated = true;
            }
        }
        return classGAFAnimation(*name, fields, std::move(frames), std::move(tags), animated);
    }

    static std::string hexBytes(const JsonValue& v, const std::string& where) {
        std::string out;
        if (v.kind == Kind::String && v.text.size() % 2 == 0) {
            for (std::size_t i = 0; i < v.text.size(); i += 2) {
                const std::string pair = v.text.substr(i, 2);
                if (pair.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
                    out.clear();
                    break;
                }
                out += char(std::stoi(pair, nullptr, 16));
            }
            if (out.size() * 2 == v.text.size()) {
                return out;
            }
        }
        throw Failure{where + ": \"name_padding\" must be hexadecimal bytes"};
    }

    classGAFFrame frame(const JsonValue& v, const std::string& where, bool ofEntry, int depth) {
        if (ofEntry) {
            object(v, where,
                   {"picture", "width", "height", "x", "y", "compression", "tag", "fps",
                    "unknown_8", "unknown_11", "unknown_12", "subframes"});
        } else {
            object(v, where,
                   {"picture", "width", "height", "x", "y", "compression", "fps", "unknown_8",
                    "unknown_11", "unknown_12", "subframes"});
        }
        if (depth > GafLoadContext::MaxSubframeDepth) {
            throw Failure{where + ": subframes nested deeper than " +
                          std::to_string(GafLoadContext::MaxSubframeDepth) + " levels"};
        }
        GafFrameFields fields;
        fields.PositionX = int(integer(v, "x", INT16_MIN, INT16_MAX, 0, where));
        fields.PositionY = int(integer(v, "y", INT16_MIN, INT16_MAX, 0, where));
        fields.FPS = std::int32_t(integer(v, "fps", INT32_MIN, INT32_MAX, 0, where));
        fields.unknown8 = std::uint8_t(integer(v, "unknown_8", 0, 255, MaskIndex, where));
        fields.unknown11 = std::uint8_t(integer(v, "unknown_11", 0, 255, 0, where));
        fields.unknown12 = std::int32_t(integer(v, "unknown_12", INT32_MIN, INT32_MAX, 0, where));
        const JsonValue* compression = v.find("compression");
        const bool automatic =
            !compression || (compression->kind == Kind::String && compression->text == "auto");
        if (!automatic) {
            fields.compression = std::uint8_t(integer(v, "compression", 0, 255, 0, where));
        }
        const std::int64_t width = integer(v, "width", 1, MaxPictureSide, 0, where);
        const std::int64_t height = integer(v, "height", 1, MaxPictureSide, 0, where);

        const JsonValue* subframesValue = v.find("subframes");
        if (subframesValue && subframesValue->kind != Kind::Array) {
            throw Failure{where + ": \"subframes\" must be a list"};
        }
        if (subframesValue && !subframesValue->items.empty()) {
            if (v.find("picture")) {
                throw Failure{where + ": a frame with subframes has no picture of its own"};
            }
            if (width == 0 || height == 0) {
                throw Failure{where + ": a frame with subframes needs \"width\" and \"height\""};
            }
            if (subframesValue->items.size() > 255) {
                throw Failure{where + ": more than 255 subframes"};
            }
            fields.Width = int(width);
            fields.Height = int(height);
            std::vector<classGAFFrame> subframes;
            for (std::size_t j = 0; j < subframesValue->items.size(); ++j) {
                subframes.push_back(frame(subframesValue->items[j],
                                          where + " subframe " + std::to_string(j + 1), false,
                                          depth + 1));
            }
            return classGAFFrame(fields, {}, std::move(subframes));
        }

        const JsonValue* pictureName = v.find("picture");
        if (!pictureName || pictureName->kind != Kind::String) {
            throw Failure{where + ": \"picture\" is required"};
        }
        std::vector<std::uint8_t> pixels = picture(pictureName->text, where, fields);
        if ((width && width != fields.Width) || (height && height != fields.Height)) {
            throw Failure{where + ": the picture " + pictureName->text + " is " +
                          std::to_string(fields.Width) + " x " + std::to_string(fields.Height) +
                          ", the manifest says " + std::to_string(width ? width : fields.Width) +
                          " x " + std::to_string(height ? height : fields.Height)};
        }
        if (!automatic && fields.compression > 1) {
            // Such a frame stores no pixels: the picture gives only its size.
            std::fill(pixels.begin(), pixels.end(), MaskIndex);
        }
        if (automatic) {
            // Run-length rows when they are shorter than the raw pixels.
            std::vector<std::uint8_t> rows;
            const bool coded = EncodeRunLengthRows(pixels, fields.Width, fields.Height, rows);
            fields.compression = coded && rows.size() < pixels.size() ? 1 : 0;
        }
        return classGAFFrame(fields, std::move(pixels));
    }

    std::vector<std::uint8_t> picture(const std::string& name, const std::string& where,
                                      GafFrameFields& fields) {
        std::string error;
        const auto bytes = pictures_(name, error);
        if (!bytes) {
            throw Failure{where + ": " + name + ": " + error};
        }
        auto read = ReadPicture(*bytes, error);
        if (!read) {
            throw Failure{where + ": " + name + ": " + error};
        }
        if (!read->indexed && !options_.quantise) {
            throw Failure{where + ": " + name +
                          " is an RGB picture: give --quantise to map its colours to the "
                          "game palette"};
        }
        fields.Width = read->width;
        fields.Height = read->height;
        return QuantiseToPalette(*read, palette_);
    }

    const PictureSource& pictures_;
    const Palette& palette_;
    GafBuildOptions options_;
};

} // namespace

GafBuildResult BuildGaf(std::string_view manifest, const PictureSource& pictures,
                        const Palette& palette, const GafBuildOptions& options) {
    GafBuildResult result;
    std::string error;
    const auto root = ParseJson(manifest, error);
    if (!root) {
        result.error = std::string(ManifestFileName) + ": " + error;
        return result;
    }
    Builder builder(pictures, palette, options);
    try {
        result.gaf = builder.file(*root);
        result.notes = std::move(builder.notes);
    } catch (const Failure& failure) {
        result.error = failure.reason;
    }
    return result;
}

GafBuildResult BuildGafFromFolder(const std::filesystem::path& directory, const Palette& palette,
                                  const GafBuildOptions& options) {
    const auto readWhole = [](const std::filesystem::path& file,
                              std::string& error) -> std::optional<std::vector<std::uint8_t>> {
        std::error_code ec;
        const auto size = std::filesystem::file_size(file, ec);
        if (ec || !std::filesystem::is_regular_file(file, ec)) {
            error = "cannot read the file";
            return std::nullopt;
        }
        if (size > kMaxPictureFileBytes) {
            error = "the file is larger than 256 MiB";
            return std::nullopt;
        }
        std::ifstream in(file, std::ios::binary);
        std::vector<std::uint8_t> bytes(size);
        in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size));
        if (!in) {
            error = "cannot read the file";
            return std::nullopt;
        }
        return bytes;
    };
    std::string error;
    const auto manifest = readWhole(directory / ManifestFileName, error);
    if (!manifest) {
        GafBuildResult result;
        result.error = (directory / ManifestFileName).string() + ": " + error;
        return result;
    }
    const PictureSource pictures = [&](const std::string& name, std::string& why) {
        // Only files of the folder itself: no path can lead out of it.
        if (name.empty() || name == "." || name == ".." ||
            name.find_first_of(std::string("/\\\0", 3)) != std::string::npos) {
            why = "a picture is named by its file name in the folder, without a path";
            return std::optional<std::vector<std::uint8_t>>();
        }
        return readWhole(directory / name, why);
    };
    return BuildGaf(
        std::string_view(reinterpret_cast<const char*>(manifest->data()), manifest->size()),
        pictures, palette, options);
}

} // namespace spriteglass
