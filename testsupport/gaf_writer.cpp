#include "testsupport/gaf_writer.hpp"

#include <cstring>

namespace testsupport {

namespace {

void put16(std::vector<std::uint8_t>& out, std::int16_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(std::uint16_t(v) >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(std::uint8_t(v >> (8 * i)));
    }
}

void patch32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = std::uint8_t(v >> (8 * i));
    }
}

// Appends the frame record and its data; returns the record's offset.
std::uint32_t writeFrame(std::vector<std::uint8_t>& out, const GafFrameSpec& frame) {
    const std::size_t record = out.size();
    put16(out, frame.width);
    put16(out, frame.height);
    put16(out, frame.x);
    put16(out, frame.y);
    out.push_back(0);
    out.push_back(frame.compression);
    out.push_back(std::uint8_t(frame.subframes.size()));
    out.push_back(frame.byte11);
    put32(out, 0);
    put32(out, 0); // data offset, patched below
    put32(out, std::uint32_t(frame.fps));
    patch32(out, record + 16, std::uint32_t(out.size()));
    if (frame.subframes.empty()) {
        out.insert(out.end(), frame.data.begin(), frame.data.end());
        return std::uint32_t(record);
    }
    const std::size_t list = out.size();
    out.resize(out.size() + 4 * frame.subframes.size());
    for (std::size_t j = 0; j < frame.subframes.size(); ++j) {
        patch32(out, list + 4 * j, writeFrame(out, frame.subframes[j]));
    }
    return std::uint32_t(record);
}

} // namespace

std::vector<std::uint8_t> makeGaf(const std::vector<GafEntrySpec>& entries, std::uint32_t version) {
    std::vector<std::uint8_t> out;
    put32(out, version);
    put32(out, std::uint32_t(entries.size()));
    put32(out, 0);
    const std::size_t table = out.size();
    out.resize(out.size() + 4 * entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const GafEntrySpec& entry = entries[i];
        patch32(out, table + 4 * i, std::uint32_t(out.size()));
        put16(out, std::int16_t(entry.frames.size()));
        put16(out, 1);
        put32(out, 0);
        char name[32] = {};
        std::memcpy(name, entry.name.data(), std::min<std::size_t>(32, entry.name.size()));
        out.insert(out.end(), name, name + 32);
        const std::size_t frameTable = out.size();
        out.resize(out.size() + 8 * entry.frames.size());
        for (std::size_t f = 0; f < entry.frames.size(); ++f) {
            const GafFrameSpec& frame = entry.frames[f];
            const std::uint32_t offset =
                frame.tableOffset ? std::uint32_t(*frame.tableOffset) : writeFrame(out, frame);
            patch32(out, frameTable + 8 * f, offset);
            patch32(out, frameTable + 8 * f + 4, std::uint32_t(frame.tag));
        }
    }
    return out;
}

GafFrameSpec rawFrame(std::int16_t width, std::int16_t height, std::vector<std::uint8_t> pixels,
                      std::int16_t x, std::int16_t y) {
    GafFrameSpec frame;
    frame.width = width;
    frame.height = height;
    frame.x = x;
    frame.y = y;
    if (pixels.empty() && width > 0 && height > 0) {
        pixels.assign(std::size_t(width) * std::size_t(height), 0);
    }
    frame.data = std::move(pixels);
    return frame;
}

std::vector<std::uint8_t> codedRows(const std::vector<std::vector<std::uint8_t>>& rows) {
    std::vector<std::uint8_t> out;
    for (const auto& row : rows) {
        put16(out, std::int16_t(row.size()));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace testsupport
