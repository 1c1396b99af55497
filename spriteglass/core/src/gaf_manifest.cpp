#include "spriteglass/gaf_manifest.hpp"

#include "common/json.hpp"
#include "spriteglass/gaf_writer.hpp"
#include "spriteglass/image_files.hpp"
#include "spriteglass/text.hpp"

#include <set>

namespace spriteglass {

namespace {

std::string hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        out += digits[std::uint8_t(c) >> 4];
        out += digits[std::uint8_t(c) & 15];
    }
    return out;
}

class Exporter {
public:
    Exporter(const std::filesystem::path& directory, const Palette& palette, ImageFormat format)
        : directory_(directory), palette_(palette), format_(format) {}

    std::string json;
    std::string error;

    void entry(const classGAFAnimation& a, std::size_t index) {
        const std::string name = Cp1252ToUtf8(a.Name());
        // The viewer's export names when they can be used, else the entry's number.
        stem_ = IsPortableFileName(name) ? name : "entry" + std::to_string(index + 1);
        fallback_ = "entry" + std::to_string(index + 1);
        json += "    {\"name\": " + common::jsonString(name);
        json += std::string(", \"animated\": ") + (a.Animated() ? "true" : "false");
        json += ", \"unknown_2\": " + std::to_string(a.Fields().unknown2);
        json += ", \"unknown_4\": " + std::to_string(a.Fields().unknown4);
        if (!a.Fields().namePadding.empty()) {
            json += ", \"name_padding\": \"" + hex(a.Fields().namePadding) + "\"";
        }
        json += ",\n     \"frames\": [";
        for (std::size_t f = 0; f < a.Frames().size(); ++f) {
            json += f ? ",\n      " : "\n      ";
            frame(a.Frames()[f], "_" + NumberPart(int(f) + 1), &a.FrameTags()[f], 6);
        }
        json += a.Frames().empty() ? "]}" : "\n     ]}";
    }

private:
    void frame(const classGAFFrame& f, const std::string& numbers, const std::int32_t* tag,
               int indent) {
        const GafFrameFields& x = f.Fields();
        json += "{";
        if (f.Subframes().empty()) {
            json += "\"picture\": " + common::jsonString(picture(f, numbers)) + ", ";
        }
        json +=
            "\"width\": " + std::to_string(x.Width) + ", \"height\": " + std::to_string(x.Height);
        json +=
            ", \"x\": " + std::to_string(x.PositionX) + ", \"y\": " + std::to_string(x.PositionY);
        json += ", \"compression\": " + std::to_string(x.compression);
        if (tag) {
            json += ", \"tag\": " + std::to_string(*tag);
        }
        json += ", \"fps\": " + std::to_string(x.FPS);
        json += ", \"unknown_8\": " + std::to_string(x.unknown8);
        json += ", \"unknown_11\": " + std::to_string(x.unknown11);
        json += ", \"unknown_12\": " + std::to_string(x.unknown12);
        if (!f.Subframes().empty()) {
            const std::string pad(std::size_t(indent) + 1, ' ');
            json += ",\n" + pad + "\"subframes\": [";
            for (std::size_t j = 0; j < f.Subframes().size(); ++j) {
                json += "\n" + pad + " ";
                frame(f.Subframes()[j], numbers + "_" + NumberPart(int(j) + 1), nullptr,
                      indent + 2);
                json += j + 1 < f.Subframes().size() ? "," : "";
            }
            json += "]";
        }
        json += "}";
    }

    // Writes the frame's picture and gives its file name.
    std::string picture(const classGAFFrame& f, const std::string& numbers) {
        const std::string extension = format_ == ImageFormat::Bmp ? ".bmp" : ".png";
        std::string file = stem_ + numbers + extension;
        if (!used_.insert(NameKey(file)).second) {
            file = fallback_ + numbers + extension;
            for (int n = 2; !used_.insert(NameKey(file)).second; ++n) {
                file = fallback_ + "_" + std::to_string(n) + numbers + extension;
            }
        }
        const bool written =
            format_ == ImageFormat::Bmp
                ? SaveBitmap(directory_ / file, f.Pixels(), palette_, f.Width(), f.Height())
                : SavePng(directory_ / file, f.Pixels(), palette_, f.Width(), f.Height(),
                          MaskIndex);
        if (!written && error.empty()) {
            error = (directory_ / file).string() + ": cannot write the picture";
        }
        return file;
    }

    std::filesystem::path directory_;
    const Palette& palette_;
    ImageFormat format_;
    std::string stem_;
    std::string fallback_;
    std::set<std::string> used_;
};

} // namespace

bool ExportGafFolder(const classGAF& gaf, const std::filesystem::path& directory,
                     const Palette& palette, ImageFormat format, std::string& error) {
    Exporter exporter(directory, palette, format);
    exporter.json = "{\"version\": " + std::to_string(gaf.Version()) +
                    ", \"unknown_8\": " + std::to_string(gaf.Unknown8()) + ",\n \"entries\": [";
    const auto& animations = gaf.Animations();
    for (std::size_t i = 0; i < animations.size(); ++i) {
        exporter.json += i ? ",\n" : "\n";
        exporter.entry(animations[i], i);
    }
    exporter.json += animations.empty() ? "]}\n" : "\n ]}\n";
    if (!exporter.error.empty()) {
        error = exporter.error;
        return false;
    }
    const std::vector<std::uint8_t> bytes(exporter.json.begin(), exporter.json.end());
    return WriteFileAtomically(directory / ManifestFileName, bytes, error);
}

} // namespace spriteglass
