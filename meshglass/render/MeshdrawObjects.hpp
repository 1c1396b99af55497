// Handing one object's records to libmeshdraw.so: the records are laid out
// as Meshdraw's GLFace, GLVertex and index arrays and passed as safe arrays.
// Shared by the viewer and the offscreen pictures of the `3do` tool.
#pragma once

#include "meshglass/ModelRenderer.hpp"

#include <cstdint>

namespace meshglass {

// Add3DObject of the object's records at its position; Meshdraw's result.
std::int32_t AddObjectToMeshdraw(const RenderObject& object);

} // namespace meshglass
