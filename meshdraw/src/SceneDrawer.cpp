#include "SceneDrawer.hpp"

#include <GL/gl.h>

#include <cmath>
#include <vector>

namespace meshdraw {

namespace {

// Faces are gathered into one vertex array per object and drawn with one
// call: a polygon as the fan of triangles from its first vertex (as GL
// draws a polygon), an outline as its closed run of line segments. Every
// face of an object has the same translation, so it is applied once for the
// object. A textured quad is drawn on its own, in its place in face order.
class Batch {
public:
    void clear() {
        positions_.clear();
        colours_.clear();
        normals_.clear();
    }

    void addFan(const GLObject& object, const GLIndex* run, int count) {
        for (int k = 1; k + 1 < count; ++k) {
            add(object, run[0]);
            add(object, run[k]);
            add(object, run[k + 1]);
        }
    }
    void addFan(const GLObject& object, const GLIndex* run, int count, const GLPaletteEntry& c) {
        const std::size_t before = positions_.size();
        addFan(object, run, count);
        for (std::size_t k = before; k < positions_.size(); ++k) {
            colours_.insert(colours_.end(), {c.red, c.green, c.blue});
        }
    }
    void addFan(const GLObject& object, const GLIndex* run, int count, const GLVertex& normal) {
        const std::size_t before = positions_.size();
        addFan(object, run, count);
        normals_.insert(normals_.end(), positions_.size() - before, normal);
    }
    void addLoop(const GLObject& object, const GLIndex* run, int count) {
        if (count < 2) {
            return;
        }
        for (int k = 0; k < count; ++k) {
            add(object, run[k]);
            add(object, run[(k + 1) % count]);
        }
    }

    // Draws what was gathered and starts again.
    void flush(GLenum primitive) {
        if (positions_.empty()) {
            return;
        }
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, positions_.data());
        const bool coloured = colours_.size() == positions_.size() * 3;
        if (coloured) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(3, GL_UNSIGNED_BYTE, 0, colours_.data());
        }
        const bool withNormals = normals_.size() == positions_.size();
        if (withNormals) {
            glEnableClientState(GL_NORMAL_ARRAY);
            glNormalPointer(GL_FLOAT, 0, normals_.data());
        }
        glDrawArrays(primitive, 0, static_cast<GLsizei>(positions_.size()));
        if (withNormals) {
            glDisableClientState(GL_NORMAL_ARRAY);
        }
        if (coloured) {
            glDisableClientState(GL_COLOR_ARRAY);
        }
        glDisableClientState(GL_VERTEX_ARRAY);
        clear();
    }

private:
    void add(const GLObject& object, GLIndex index) {
        positions_.push_back(object.vertices[static_cast<std::size_t>(index)]);
    }

    std::vector<GLVertex> positions_;
    std::vector<GLubyte> colours_;
    std::vector<GLVertex> normals_;
};

Batch& sharedBatch() {
    static Batch batch;
    return batch;
}

void texturedQuad(const GLObject& object, const GLFace& face, const TextureSlot& slot,
                  const GLIndex* run, const TextureBank& textures) {
    const float s = static_cast<float>(face.textureWidth) / static_cast<float>(slot.paddedWidth);
    const float t = static_cast<float>(face.textureHeight) / static_cast<float>(slot.paddedHeight);
    const float coordinates[4][2] = {{0, 0}, {s, 0}, {s, t}, {0, t}};
    glColor3f(0, 0, 1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textures.name(slot.name));
    glBegin(GL_POLYGON);
    for (int k = 0; k < 4; ++k) {
        const GLVertex& v = object.vertices[static_cast<std::size_t>(run[k])];
        glTexCoord2f(coordinates[k][0], coordinates[k][1]);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

// The colour a selected object is drawn in, in every mode.
constexpr GLPaletteEntry highlightColour{0, 96, 255, 0}; // blue, green, red: orange

void drawFilledObject(const GLObject& object, const Palette& palette, const TextureBank& textures,
                      Batch& batch, bool highlighted) {
    for (std::int32_t f = 0; f < object.faceCount(); ++f) {
        const GLIndex* run = object.checkedRun(f);
        if (run == nullptr) {
            continue;
        }
        const GLFace& face = object.faces[static_cast<std::size_t>(f)];
        const TextureSlot& slot = object.slots[static_cast<std::size_t>(f)];
        if (highlighted) {
            batch.addFan(object, run, face.vertexCount, highlightColour);
            continue;
        }
        if (face.vertexCount == 4 && face.texture != 0 && slot.name >= 0 && textures.named()) {
            batch.flush(GL_TRIANGLES);
            texturedQuad(object, face, slot, run, textures);
            continue;
        }
        batch.addFan(object, run, face.vertexCount, palette[face.colour]);
    }
    batch.flush(GL_TRIANGLES);
}

// The polygon's normal by Newell's method (sums over its edges, so a
// polygon that is not quite flat still gets its mean plane); a degenerate
// polygon gets GL's default normal (0, 0, 1).
GLVertex polygonNormal(const GLObject& object, const GLIndex* run, int count) {
    double nx = 0;
    double ny = 0;
    double nz = 0;
    for (int k = 0; k < count; ++k) {
        const GLVertex& a = object.vertices[static_cast<std::size_t>(run[k])];
        const GLVertex& b = object.vertices[static_cast<std::size_t>(run[(k + 1) % count])];
        nx += (double(a.y) - b.y) * (double(a.z) + b.z);
        ny += (double(a.z) - b.z) * (double(a.x) + b.x);
        nz += (double(a.x) - b.x) * (double(a.y) + b.y);
    }
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(length > 1e-12)) {
        return GLVertex{0, 0, 1};
    }
    return GLVertex{float(nx / length), float(ny / length), float(nz / length)};
}

// Set before the object's translation, so the light stays where the view
// puts it. Both sides of a polygon are lit, the normal turned towards the
// viewer, so the winding order of a model's polygons does not matter.
void beginLitObject(bool highlighted) {
    static const GLfloat ambient[] = {0.3f, 0.3f, 0.3f, 1.0f};
    static const GLfloat diffuse[] = {0.75f, 0.75f, 0.75f, 1.0f};
    static const GLfloat specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    static const GLfloat position[] = {0.0f, 50.0f, 50.0f, 1.0f};
    glEnable(GL_LIGHTING);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 0.7f);
    glEnable(GL_LIGHT0);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    // GL's default material, or the highlight colour for a selected object.
    static const GLfloat ambient0[] = {0.2f, 0.2f, 0.2f, 1.0f};
    static const GLfloat diffuse0[] = {0.8f, 0.8f, 0.8f, 1.0f};
    static const GLfloat diffuseHighlight[] = {highlightColour.red / 255.0f,
                                               highlightColour.green / 255.0f,
                                               highlightColour.blue / 255.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, highlighted ? diffuseHighlight : ambient0);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, highlighted ? diffuseHighlight : diffuse0);
    glColor3f(0, 0, 0);
}

void drawLitObject(const GLObject& object, Batch& batch) {
    for (std::int32_t f = 0; f < object.faceCount(); ++f) {
        if (const GLIndex* run = object.checkedRun(f)) {
            const int count = object.faces[static_cast<std::size_t>(f)].vertexCount;
            batch.addFan(object, run, count, polygonNormal(object, run, count));
        }
    }
    batch.flush(GL_TRIANGLES);
}

void drawWireframeObject(const GLObject& object, Batch& batch, bool highlighted) {
    if (highlighted) {
        glColor3ub(highlightColour.red, highlightColour.green, highlightColour.blue);
    } else {
        glColor3f(0, 0, 0);
    }
    for (std::int32_t f = 0; f < object.faceCount(); ++f) {
        if (const GLIndex* run = object.checkedRun(f)) {
            batch.addLoop(object, run, object.faces[static_cast<std::size_t>(f)].vertexCount);
        }
    }
    batch.flush(GL_LINES);
}

} // namespace

void drawScene(const ObjectStore& store, const Palette& palette, const TextureBank& textures,
               int mode, std::int32_t highlight) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (mode != drawFilled && mode != drawLit && mode != drawWireframe) {
        return; // any other mode shows the cleared background only
    }
    Batch& batch = sharedBatch();
    batch.clear();
    std::int32_t index = 0;
    for (const GLObject& object : store.objects()) {
        const bool highlighted = index++ == highlight;
        if (mode == drawLit) {
            beginLitObject(highlighted);
        }
        glPushMatrix();
        glTranslatef(object.x, object.y, object.z);
        switch (mode) {
        case drawFilled:
            drawFilledObject(object, palette, textures, batch, highlighted);
            break;
        case drawLit:
            drawLitObject(object, batch);
            break;
        default:
            drawWireframeObject(object, batch, highlighted);
            break;
        }
        glPopMatrix();
        if (mode == drawLit) {
            glDisable(GL_LIGHTING);
        }
    }
}

} // namespace meshdraw
