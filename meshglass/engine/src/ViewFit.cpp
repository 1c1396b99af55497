#include "meshglass/ViewFit.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace meshglass {

namespace {
constexpr double centreY = 20.0;
constexpr double margin = 1.08;
constexpr double minDistance = 2.0;
constexpr double maxDistance = 100000.0;
} // namespace

void ViewBounds::Add(const RenderObject& object) {
    for (const RenderVertex& v : object.vertices) {
        const double x = double(v.x) + object.x;
        const double y = double(v.y) + object.y - centreY;
        const double z = double(v.z) + object.z;
        const double distance = std::sqrt(x * x + y * y + z * z);
        if (std::isfinite(distance)) {
            radius_ = std::max(radius_, distance);
            any_ = true;
        }
    }
}

double FitDistance(const ViewBounds& bounds, int width, int height) {
    if (bounds.Empty() || bounds.Radius() <= 0) {
        return 150.0;
    }
    const double aspect = double(std::max(width, 1)) / double(std::max(height, 1));
    const double halfVertical = 22.5 * std::numbers::pi / 180.0;
    const double halfHorizontal = std::atan(std::tan(halfVertical) * aspect);
    const double half = std::min(halfVertical, halfHorizontal);
    const double distance = bounds.Radius() * margin / std::sin(half);
    return std::clamp(distance, minDistance, maxDistance);
}

double ZoomedDistance(double distance, int notches) {
    const double zoomed = distance * std::pow(1.1, double(notches));
    return std::clamp(zoomed, minDistance, maxDistance);
}

} // namespace meshglass
