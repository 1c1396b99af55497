#include "ViewGeometry.hpp"

#include <cmath>

namespace meshdraw {

namespace {
int atLeastOne(int side) {
    return side < 1 ? 1 : side;
}
} // namespace

OrthoBox orthoFor(int width, int height) {
    const double w = atLeastOne(width);
    const double h = atLeastOne(height);
    if (w > h) {
        return {-50.0 * w / h, 50.0 * w / h, -50.0, 50.0, -500.0, 500.0};
    }
    return {-50.0, 50.0, -50.0 * h / w, 50.0 * h / w, -500.0, 500.0};
}

double aspectFor(int width, int height) {
    return static_cast<double>(atLeastOne(width)) / atLeastOne(height);
}

void Camera::rotate(double a, double b) {
    const double x0 = x;
    const double z0 = z;
    x = static_cast<float>(x0 * std::cos(b) - z0 * std::sin(b));
    z = static_cast<float>(x0 * std::sin(b) + z0 * std::cos(b));
    const double y1 = y;
    const double z1 = z;
    y = static_cast<float>(y1 * std::cos(a) - z1 * std::sin(a));
    z = static_cast<float>(y1 * std::sin(a) + z1 * std::cos(a));
}

} // namespace meshdraw
