// One model vertex in model units.
#pragma once

namespace meshglass {

class class3dVertex {
public:
    class3dVertex() = default;
    class3dVertex(float xSet, float ySet, float zSet) : x(xSet), y(ySet), z(zSet) {}

    void SetVertex(float xSet, float ySet, float zSet) {
        x = xSet;
        y = ySet;
        z = zSet;
    }

    float x = 0;
    float y = 0;
    float z = 0;
};

} // namespace meshglass
