// Fitting the perspective view to a model: the camera turns about the
// origin and looks at (0, 20, 0), with a vertical field of view of 45
// degrees, so a model fits when the sphere around that centre holding every
// placed vertex fits the narrower of the two fields of view.
#pragma once

#include "meshglass/ModelRenderer.hpp"

namespace meshglass {

class ViewBounds {
public:
    // Takes the vertices of one object at its position.
    void Add(const RenderObject& object);
    void Clear() {
        radius_ = 0;
        any_ = false;
    }
    bool Empty() const { return !any_; }
    // Largest distance of a placed vertex from the view's centre.
    double Radius() const { return radius_; }

private:
    double radius_ = 0;
    bool any_ = false;
};

// Camera distance at which a sphere of that radius around the view's centre
// fills a width x height view up to a small margin; the start distance 150
// when there is nothing to fit. Never below 2 (the renderer's bound).
double FitDistance(const ViewBounds& bounds, int width, int height);

// One wheel notch: the distance times 1.1 outwards (notches > 0) or divided
// by 1.1 inwards, per notch, kept within 2 .. 100000.
double ZoomedDistance(double distance, int notches);

} // namespace meshglass
