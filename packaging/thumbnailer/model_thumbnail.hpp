// The thumbnail of a 3DO model: its filled picture from the render
// command's fixed turn, drawn by `3do render` (the tool beside this program,
// which also finds the model's textures), once the model engine has found a
// polygon to draw.
#pragma once

#include <filesystem>
#include <string>

namespace thumbnail {

// True when the model's pieces give the renderer at least one polygon of
// three or more vertices; else false with the reason in `why`.
bool ModelHasPolygons(const std::filesystem::path& file, std::string& why);

// Runs `tool render INPUT OUTPUT --size SIZExSIZE` and waits for it; true
// when it succeeded and OUTPUT is there, else false with the reason.
bool RenderModelThumbnail(const std::filesystem::path& tool, const std::filesystem::path& input,
                          const std::filesystem::path& output, int size, std::string& why);

} // namespace thumbnail
