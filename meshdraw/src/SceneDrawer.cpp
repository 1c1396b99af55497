#include "SceneDrawer.hpp"

#include <GL/gl.h>

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
        glDrawArrays(primitive, 0, static_cast<GLsizei>(positions_.size()));
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

void drawFilledObject(const GLObject& object, const Palette& palette, const TextureBank& textures,
                      Batch& batch) {
    for (std::int32_t f = 0; f < object.faceCount(); ++f) {
        const GLIndex* run = object.checkedRun(f);
        if (run == nullptr) {
            continue;
        }
        const GLFace& face = object.faces[static_cast<std::size_t>(f)];
        const TextureSlot& slot = object.slots[static_cast<std::size_t>(f)];
        if (face.vertexCount == 4 && face.texture != 0 && slot.name >= 0 && textures.named()) {
            batch.flush(GL_TRIANGLES);
            texturedQuad(object, face, slot, run, textures);
            continue;
        }
        batch.addFan(object, run, face.vertexCount, palette[face.colour]);
    }
    batch.flush(GL_TRIANGLES);
}

// Set before the object's translation, so the light stays where the view
// puts it.
void beginLitObject() {
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
    glColor3f(0, 0, 0);
}

void drawLitObject(const GLObject& object, Batch& batch) {
    // No normals are sent: every polygon uses the default normal (0, 0, 1).
    for (std::int32_t f = 0; f < object.faceCount(); ++f) {
        if (const GLIndex* run = object.checkedRun(f)) {
            batch.addFan(object, run, object.faces[static_cast<std::size_t>(f)].vertexCount);
        }
    }
    batch.flush(GL_TRIANGLES);
}

void drawWireframeObject(const GLObject& object, Batch& batch) {
    glColor3f(0, 0, 0);
    for (std::int32_t f = 0; f < object.faceCount(); ++f) {
        if (const GLIndex* run = object.checkedRun(f)) {
            batch.addLoop(object, run, object.faces[static_cast<std::size_t>(f)].vertexCount);
        }
    }
    batch.flush(GL_LINES);
}

} // namespace

void drawScene(const ObjectStore& store, const Palette& palette, const TextureBank& textures,
               int mode) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (mode != drawFilled && mode != drawLit && mode != drawWireframe) {
        return; // any other mode shows the cleared background only
    }
    Batch& batch = sharedBatch();
    batch.clear();
    for (const GLObject& object : store.objects()) {
        if (mode == drawLit) {
            beginLitObject();
        }
        glPushMatrix();
        glTranslatef(object.x, object.y, object.z);
        switch (mode) {
        case drawFilled:
            drawFilledObject(object, palette, textures, batch);
            break;
        case drawLit:
            drawLitObject(object, batch);
            break;
        default:
            drawWireframeObject(object, batch);
            break;
        }
        glPopMatrix();
        if (mode == drawLit) {
            glDisable(GL_LIGHTING);
        }
    }
}

} // namespace meshdraw
