// Building GAF trees from a manifest and pictures: defaults for what a
// hand-written manifest leaves out, quantised RGBA pictures, and manifests
// that cannot be followed refused with a reason.
#include "spriteglass/gaf_builder.hpp"
#include "spriteglass/gaf_json.hpp"
#include "spriteglass/gaf_manifest.hpp"
#include "spriteglass/image_files.hpp"

#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

#include <map>
#include <zlib.h>

using namespace spriteglass;
namespace fs = std::filesystem;

namespace {

Palette testPalette() {
    Palette palette{};
    for (int k = 0; k < 256; ++k) {
        palette[4 * k + 0] = std::uint8_t(k * 13); // blue
        palette[4 * k + 1] = std::uint8_t(k * 7);
        palette[4 * k + 2] = std::uint8_t(k); // red
    }
    return palette;
}

void put32be(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(std::uint8_t(v >> shift));
    }
}

void chunk(std::vector<std::uint8_t>& out, const char* type,
           const std::vector<std::uint8_t>& data) {
    put32be(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32be(out, std::uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
}

// An 8-bit RGBA PNG (colour type 6).
std::vector<std::uint8_t> rgbaPng(int width, int height, const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    put32be(header, std::uint32_t(width));
    put32be(header, std::uint32_t(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});
    chunk(out, "IHDR", header);
    std::vector<std::uint8_t> raw;
    for (int r = 0; r < height; ++r) {
        raw.push_back(0);
        raw.insert(raw.end(), rgba.begin() + r * width * 4, rgba.begin() + (r + 1) * width * 4);
    }
    uLongf size = compressBound(uLong(raw.size()));
    std::vector<std::uint8_t> packed(size);
    compress(packed.data(), &size, raw.data(), uLong(raw.size()));
    packed.resize(size);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});
    return out;
}

struct Files {
    std::map<std::string, std::vector<std::uint8_t>> pictures;
    PictureSource source() const {
        return [this](const std::string& name, std::string& error) {
            auto found = pictures.find(name);
            if (found == pictures.end()) {
                error = "no such file";
                return std::optional<std::vector<std::uint8_t>>();
            }
            return std::optional(found->second);
        };
    }
};

GafBuildResult build(const Files& files, const std::string& manifest, bool quantise = false) {
    GafBuildOptions options;
    options.quantise = quantise;
    return BuildGaf(manifest, files.source(), testPalette(), options);
}

std::string failure(const Files& files, const std::string& manifest) {
    const GafBuildResult result = build(files, manifest);
    EXPECT_FALSE(result.gaf);
    return result.error;
}

} // namespace

TEST(GafBuilder, AHandWrittenManifestNeedsOnlyNamesAndPictures) {
    const Palette palette = testPalette();
    Files files;
    files.pictures["icon.bmp"] =
        BitmapBytes(std::vector<std::uint8_t>{1, 2, 3, 9, 9, 9}, palette, 3, 2);
    std::vector<std::uint8_t> stripes(40 * 10, MaskIndex);
    std::fill(stripes.begin(), stripes.begin() + 40, 5);
    files.pictures["glow.png"] = PngBytes(stripes, palette, 40, 10, MaskIndex);
    const GafBuildResult result = build(files, R"({"entries": [
        {"name": "Icon", "frames": [{"picture": "icon.bmp", "x": 1, "y": -2}]},
        {"name": "glow", "animated": true, "frames": [{"picture": "glow.png", "fps": 3}]},
        {"name": "Nothing"}]})");
    ASSERT_TRUE(result.gaf) << result.error;
    const auto& animations = result.gaf->Animations();
    ASSERT_EQ(animations.size(), 3u);
    const classGAFFrame& icon = animations[0].Frames().at(0);
    EXPECT_EQ(icon.Pixels(), (std::vector<std::uint8_t>{1, 2, 3, 9, 9, 9}));
    EXPECT_EQ(icon.Fields().PositionX, 1);
    EXPECT_EQ(icon.Fields().PositionY, -2);
    EXPECT_EQ(icon.Fields().unknown8, MaskIndex);
    EXPECT_EQ(icon.Fields().compression, 0); // six raw bytes beat eight bytes of rows
    EXPECT_EQ(animations[0].FrameTags(), std::vector<std::int32_t>{10});
    EXPECT_FALSE(animations[0].Animated());
    EXPECT_EQ(animations[0].Fields().unknown2, 1);

    const classGAFFrame& glow = animations[1].Frames().at(0);
    EXPECT_EQ(glow.Pixels(), stripes); // indexed PNG: the indices as they are
    EXPECT_EQ(glow.Fields().compression, 1);
    EXPECT_EQ(glow.FPS(), 3);
    EXPECT_EQ(animations[1].FrameTags(), std::vector<std::int32_t>{2});
    EXPECT_TRUE(animations[1].Animated());
    EXPECT_TRUE(animations[2].Frames().empty());
}

TEST(GafBuilder, RgbaPicturesAreQuantisedOnlyWhenAskedAndTransparencyBecomesIndex9) {
    const Palette palette = testPalette();
    // Index 9's own colour, an exact palette colour, a near one, and two
    // transparent pixels.
    const auto colour = [&](int k, std::uint8_t alpha) {
        return std::vector<std::uint8_t>{palette[4 * k + 2], palette[4 * k + 1], palette[4 * k],
                                         alpha};
    };
    std::vector<std::uint8_t> rgba;
    for (const auto& p :
         {colour(9, 255), colour(200, 255), colour(77, 128), colour(30, 127), colour(31, 0)}) {
        rgba.insert(rgba.end(), p.begin(), p.end());
    }
    rgba[4 * 2] += 1; // one step away from colour 77
    Files files;
    files.pictures["button.png"] = rgbaPng(5, 1, rgba);
    const std::string manifest =
        R"({"entries": [{"name": "armbutton", "frames": [{"picture": "button.png"}]}]})";
    EXPECT_NE(failure(files, manifest).find("--quantise"), std::string::npos);
    const GafBuildResult result = build(files, manifest, true);
    ASSERT_TRUE(result.gaf) << result.error;
    const auto& pixels = result.gaf->Animations()[0].Frames()[0].Pixels();
    ASSERT_EQ(pixels.size(), 5u);
    EXPECT_NE(pixels[0], MaskIndex); // opaque never becomes transparent
    EXPECT_EQ(pixels[1], 200);
    EXPECT_EQ(pixels[2], 77);
    EXPECT_EQ(pixels[3], MaskIndex);
    EXPECT_EQ(pixels[4], MaskIndex);
}

TEST(GafBuilder, ManifestsThatCannotBeFollowedAreRefusedWithTheirReason) {
    const Palette palette = testPalette();
    Files files;
    files.pictures["a.bmp"] = BitmapBytes(std::vector<std::uint8_t>(6, 1), palette, 3, 2);
    files.pictures["junk.bmp"] = {'B', 'M', 0, 1};
    const auto entry = [](const std::string& name, const std::string& frame) {
        return R"({"entries": [{"name": ")" + name + R"(", "frames": [)" + frame + "]}]}";
    };
    EXPECT_NE(failure(files, entry("x", R"({"picture": "missing.bmp"})")).find("missing.bmp"),
              std::string::npos);
    const std::string wrongSize = failure(files, entry("x", R"({"picture": "a.bmp", "width": 4})"));
    EXPECT_NE(wrongSize.find("is 3 x 2, the manifest says 4 x 2"), std::string::npos) << wrongSize;
    const std::string tooLong =
        failure(files, entry(std::string(33, 'n'), R"({"picture": "a.bmp"})"));
    EXPECT_NE(tooLong.find("33 characters long"), std::string::npos) << tooLong;
    EXPECT_NE(failure(files, entry("x", R"({"picture": "a.bmp", "hotspot": 1})"))
                  .find("unknown key \"hotspot\""),
              std::string::npos);
    EXPECT_NE(failure(files, entry("x", R"({"picture": "junk.bmp"})")).find("cut short"),
              std::string::npos);
    EXPECT_NE(failure(files, entry("x", R"({"picture": "a.bmp", "x": 40000})")).find("\"x\""),
              std::string::npos);
    EXPECT_NE(failure(files, entry("x", R"({"width": 2})")).find("\"picture\" is required"),
              std::string::npos);
    EXPECT_NE(failure(files, R"({"entries": [{"name": "x", "animated": false,
                                 "frames": [{"picture": "a.bmp", "tag": 2}]}]})")
                  .find("animated"),
              std::string::npos);
    EXPECT_NE(failure(files, R"({"entries": [{"frames": []}]})").find("\"name\" is required"),
              std::string::npos);
    EXPECT_NE(failure(files, R"({"entries": [)").find("gaf.json: line 1"), std::string::npos);
    EXPECT_NE(failure(files, std::string(100, '[')).find("deeper"), std::string::npos);
}

TEST(GafBuilder, AFolderNamesItsPicturesByFileNameOnly) {
    testsupport::TempDir dir;
    fs::create_directory(dir / "in");
    testsupport::writeFile(dir / "secret.bmp",
                           BitmapBytes(std::vector<std::uint8_t>(1, 1), testPalette(), 1, 1));
    testsupport::writeFile(dir / "in" / "gaf.json",
                           std::string(R"({"entries": [{"name": "x", "frames": [)"
                                       R"({"picture": "../secret.bmp"}]}]})"));
    const GafBuildResult result = BuildGafFromFolder(dir / "in", testPalette(), {});
    EXPECT_FALSE(result.gaf);
    EXPECT_NE(result.error.find("without a path"), std::string::npos) << result.error;
    EXPECT_NE(BuildGafFromFolder(dir / "absent", testPalette(), {}).error.find("gaf.json"),
              std::string::npos);
}

TEST(GafBuilder, AFrameWhoseCompressionStoresNoPixelsTakesOnlyThePicturesSize) {
    Files files;
    files.pictures["a.bmp"] = BitmapBytes(std::vector<std::uint8_t>(6, 1), testPalette(), 3, 2);
    const GafBuildResult result = build(
        files,
        R"({"entries": [{"name": "x", "frames": [{"picture": "a.bmp", "compression": 2}]}]})");
    ASSERT_TRUE(result.gaf) << result.error;
    EXPECT_EQ(result.gaf->Animations()[0].Frames()[0].Pixels(),
              std::vector<std::uint8_t>(6, MaskIndex));
}
