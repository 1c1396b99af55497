#include "SceneDrawer.hpp"

#include <GL/gl.h>

namespace meshdraw {

namespace {

void vertex(const GLObject& object, GLIndex index) {
    const GLVertex& v = object.vertices[static_cast<std::size_t>(index)];
    glVertex3f(v.x, v.y, v.z);
}

void polygon(const GLObject& object, const GLIndex* run, int count, GLenum primitive) {
    glPushMatrix();
    glTranslatef(object.x, object.y, object.z);
    glBegin(primitive);
    for (int k = 0; k < count; ++k) {
        vertex(object, run[k]);
    }
    glEnd();
    glPopMatrix();
}

void texturedQuad(const GLObject& object, const GLFace& face, const TextureSlot& slot,
                  const GLIndex* run, const TextureBank& textures) {
    const float s = static_cast<float>(face.textureWidth) / static_cast<float>(slot.paddedWidth);
    const float t = static_cast<float>(face.textureHeight) / static_cast<float>(slot.paddedHeight);
    const float coordinates[4][2] = {{0, 0}, {s, 0}, {s, t}, {0, t}};
    glColor3f(0, 0, 1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textures.name(slot.name));
    glPushMatrix();
    glTranslatef(object.x, object.y, object.z);
    glBegin(GL_POLYGON);
    for (int k = 0; k < 4; ++k) {
        glTexCoord2f(coordinates[k][0], coordinates[k][1]);
        vertex(object, run[k]);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

void drawFilledObject(const GLObject& object, const Palette& palette, const TextureBank& textures) {
    for (std::int32_t f = 0; f < object.faceCount(); ++f) {
        const GLIndex* run = object.checkedRun(f);
        if (run == nullptr) {
            continue;
        }
        const GLFace& face = object.faces[static_cast<std::size_t>(f)];
        const TextureSlot& slot = object.slots[static_cast<std::size_t>(f)];
        if (face.vertexCount == 4 && face.texture != 0 && slot.name >= 0 && textures.named()) {
            texturedQuad(object, face, slot, run, textures);
            continue;
        }
        const GLPaletteEntry& entry = palette[face.colour];
        glColor3ub(entry.red, entry.green, entry.blue);
        polygon(object, run, face.vertexCount, GL_POLYGON);
    }
}

void drawLitObject(const GLObject& object) {
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
    for (std::int32_t f = 0; f < object.faceCount(); ++f) {
        if (const GLIndex* run = object.checkedRun(f)) {
            polygon(object, run, object.faces[static_cast<std::size_t>(f)].vertexCount, GL_POLYGON);
        }
    }
    glDisable(GL_LIGHTING);
}

void drawWireframeObject(const GLObject& object) {
    glColor3f(0, 0, 0);
    for (std::int32_t f = 0; f < object.faceCount(); ++f) {
        if (const GLIndex* run = object.checkedRun(f)) {
            polygon(object, run, object.faces[static_cast<std::size_t>(f)].vertexCount,
                    GL_LINE_LOOP);
        }
    }
}

} // namespace

void drawScene(const ObjectStore& store, const Palette& palette, const TextureBank& textures,
               int mode) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const GLObject& object : store.objects()) {
        switch (mode) {
        case drawFilled:
            drawFilledObject(object, palette, textures);
            break;
        case drawLit:
            drawLitObject(object);
            break;
        case drawWireframe:
            drawWireframeObject(object);
            break;
        default:
            break;
        }
    }
}

} // namespace meshdraw
