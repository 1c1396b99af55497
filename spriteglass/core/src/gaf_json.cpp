#include "spriteglass/gaf_json.hpp"

#include "common/json.hpp"
#include "common/sha256.hpp"
#include "spriteglass/text.hpp"

namespace spriteglass {

namespace {

void appendFrame(std::string& out, const classGAFFrame& frame) {
    out += "{\"width\":" + std::to_string(frame.Width());
    out += ",\"height\":" + std::to_string(frame.Height());
    out += ",\"x\":" + std::to_string(frame.PositionX());
    out += ",\"y\":" + std::to_string(frame.PositionY());
    out += std::string(",\"compressed\":") + (frame.Compressed() ? "true" : "false");
    out += ",\"fps\":" + std::to_string(frame.FPS());
    out += ",\"pixels_sha256\":\"" + common::sha256Hex(frame.Pixels()) + "\"";
    out += ",\"subframes\":[";
    for (std::size_t j = 0; j < frame.Subframes().size(); ++j) {
        if (j) {
            out += ',';
        }
        appendFrame(out, frame.Subframes()[j]);
    }
    out += "]}";
}

} // namespace

std::string GafInfoJson(const classGAF& gaf) {
    std::string out = "{\"entries\":[";
    for (std::size_t i = 0; i < gaf.Animations().size(); ++i) {
        const classGAFAnimation& animation = gaf.Animations()[i];
        if (i) {
            out += ',';
        }
        out += "{\"name\":";
        out += common::jsonString(Cp1252ToUtf8(animation.Name()));
        out += std::string(",\"animated\":") + (animation.Animated() ? "true" : "false");
        out += ",\"frames\":[";
        for (std::size_t f = 0; f < animation.Frames().size(); ++f) {
            if (f) {
                out += ',';
            }
            appendFrame(out, animation.Frames()[f]);
        }
        out += "]}";
    }
    out += "]}\n";
    return out;
}

} // namespace spriteglass
