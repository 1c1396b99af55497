// Feeds arbitrary bytes to the 3DO reader, then turns whatever it loaded into
// renderer records and its text forms: nothing may crash, hang, read out of
// bounds or allocate without bound.
#include "meshglass/ModelFile.hpp"
#include "meshglass/ModelText.hpp"
#include "meshglass/class3do.hpp"

#include <cstddef>
#include <cstdint>

using namespace meshglass;

namespace {

// Checks every face the builder hands over against its own object.
class CheckingRenderer : public ModelRenderer {
public:
    void RemoveAllObjects() override {}
    std::int32_t Add3DObject(const RenderObject& object) override {
        for (const RenderFace& face : object.faces) {
            if (face.firstIndex < 0 ||
                std::size_t(face.firstIndex) + std::size_t(face.vertexCount) >
                    object.indices.size()) {
                __builtin_trap();
            }
            for (int k = 0; k < face.vertexCount; ++k) {
                const std::int16_t index = object.indices[std::size_t(face.firstIndex + k)];
                if (index < 0 || std::size_t(index) >= object.vertices.size()) {
                    __builtin_trap();
                }
            }
        }
        return 0;
    }
    void DrawView() override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ModelFile file(std::vector<std::uint8_t>(data, data + size));
    auto root = LoadModel(file);
    CheckingRenderer checking;
    BuildModel(*root, checking);
    if (size <= 4096) {
        (void)ModelJson(*root, file.errorCount());
        CollectingRenderer collecting;
        BuildModel(*root, collecting);
        (void)ObjText(collecting.objects, "fuzz.mtl");
    }
    return 0;
}
