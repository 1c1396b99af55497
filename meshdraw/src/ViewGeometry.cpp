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

double Camera::distance() const {
    return std::sqrt(double(x) * x + double(y) * y + double(z) * z);
}

void Camera::setDistance(double distance) {
    if (!(distance >= minDistance)) { // NaN included
        distance = minDistance;
    }
    if (distance > maxDistance) {
        distance = maxDistance;
    }
    const double now = this->distance();
    if (now < 1e-9) {
        x = 0;
        y = 0;
        z = static_cast<float>(-distance);
        return;
    }
    const double scale = distance / now;
    x = static_cast<float>(x * scale);
    y = static_cast<float>(y * scale);
    z = static_cast<float>(z * scale);
}

double farPlaneFor(double cameraDistance) {
    return cameraDistance * 2 > 1000.0 ? cameraDistance * 2 : 1000.0;
}

} // namespace meshdraw
