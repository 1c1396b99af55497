// Projection extents of the 2-D views and the perspective camera.
#pragma once

namespace meshdraw {

struct OrthoBox {
    double left;
    double right;
    double bottom;
    double top;
    double nearPlane;
    double farPlane;
};

// The 2-D views show 100 units across the shorter side of a w x h window,
// centred on the origin. A side below 1 pixel counts as 1.
OrthoBox orthoFor(int width, int height);

// Aspect ratio of the perspective view (sides below 1 count as 1).
double aspectFor(int width, int height);

// Position of the perspective view's camera; it always looks at (0, 20, 0).
struct Camera {
    float x = 0;
    float y = 0;
    float z = 0;

    void reset() {
        x = 0;
        y = 0;
        z = -150;
    }
    // Turns about the origin: by b in the X-Z plane, then by a in the Y-Z
    // plane, each step in double precision stored back as floats.
    void rotate(double a, double b);

    // Distance from the origin (the look-at centre is 20 above it, so this is
    // also the eye's distance from what it looks at).
    double distance() const;
    // Moves the camera along its own direction to the given distance,
    // bounded to minDistance..maxDistance; a camera at the origin moves to
    // (0, 0, -distance).
    void setDistance(double distance);

    static constexpr double minDistance = 2.0;
    static constexpr double maxDistance = 100000.0;
};

// Far plane of the perspective view: 1000, or farther when the camera is far
// enough out that a model around the centre would be cut.
double farPlaneFor(double cameraDistance);

} // namespace meshdraw
