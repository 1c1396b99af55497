#include "model_thumbnail.hpp"

#include "meshglass/ModelFile.hpp"
#include "meshglass/ModelText.hpp"
#include "meshglass/class3do.hpp"

#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace thumbnail {

bool ModelHasPolygons(const fs::path& file, std::string& why) {
    std::optional<meshglass::ModelFile> model = meshglass::ModelFile::open(file);
    if (!model) {
        why = "cannot read the file";
        return false;
    }
    model->onError = [](std::string_view) {}; // damaged polygons are left out quietly
    std::unique_ptr<meshglass::class3do> root = meshglass::LoadModel(*model);
    meshglass::CollectingRenderer renderer;
    if (root) {
        meshglass::BuildModel(*root, renderer);
    }
    for (const meshglass::CollectedObject& object : renderer.objects) {
        for (const meshglass::RenderFace& face : object.faces) {
            if (face.vertexCount >= 3) {
                return true;
            }
        }
    }
    why = "the model has no polygon to draw";
    return false;
}

bool RenderModelThumbnail(const fs::path& tool, const fs::path& input, const fs::path& output,
                          int size, std::string& why) {
    std::vector<std::string> arguments = {
        tool.string(),   "render", input.string(),
        output.string(), "--size", std::to_string(size) + "x" + std::to_string(size)};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        why = tool.string() + ": cannot be started";
        return false;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            why = "lost the render process";
            return false;
        }
    }
    std::error_code ec;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !fs::is_regular_file(output, ec)) {
        why = "the model could not be drawn";
        return false;
    }
    return true;
}

} // namespace thumbnail
