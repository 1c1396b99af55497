/*
 * meshdraw.h: the C interface of libmeshdraw.so, a small OpenGL 1.1 renderer.
 *
 * The caller hands the library a 256-colour palette and whole model pieces
 * ("objects": faces, vertices, indices and a position). The library copies
 * everything it is given into its own store and draws the stored objects into
 * up to four views of the caller's X windows: front, top and right (fixed
 * orthographic cameras) and a perspective view with a camera that turns about
 * the origin.
 *
 * Calling order: Initialize; the create call of each wanted view (CreateRight
 * last when it is used: it generates the texture names); then any number of
 * adds, updates, removals, draws, resizes and mode changes; Cleanup3D at the
 * end. All calls come from one thread, one at a time.
 *
 * Arrays cross the interface as a SafeArray passed by the address of the
 * array pointer (SafeArray**). The library reads the bounds and then every
 * element from the lower to the upper bound; the caller keeps its arrays.
 *
 * Windows: a window handle is an X window id of the caller's window (for Qt,
 * QWidget::winId() of a native widget, only when Qt runs on xcb). The library
 * opens its own X connection (DISPLAY), draws into a child window it creates
 * inside the caller's window, and handles X errors of that connection itself,
 * so a bad window id makes the create call fail instead of ending the process.
 */
#ifndef MESHDRAW_H
#define MESHDRAW_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(MESHDRAW_BUILDING)
#define MESHDRAW_API __attribute__((visibility("default")))
#else
#define MESHDRAW_API
#endif

/* ---- Records that cross the interface ---------------------------------- */

/* One palette entry (element of the array given to Initialize), 4 bytes. */
typedef struct GLPaletteEntry {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved; /* 0 */
} GLPaletteEntry;

/*
 * One polygon. The texture field is pointer-sized, so on 64-bit Linux the
 * record is 24 bytes: texture sits at offset 16 after 4 bytes of padding.
 */
typedef struct GLFace {
    uint8_t colour;        /* palette index of the polygon's colour */
    uint8_t mark;          /* free per-face byte; drawing ignores it */
    int16_t vertexCount;   /* number of indices of the polygon */
    int16_t textureWidth;  /* texture width in texels (1..256) */
    int16_t textureHeight; /* texture height in texels (1..256) */
    int32_t firstIndex;    /* position of the polygon's first index in the index array */
    uintptr_t texture;     /* address of width x height palette indices, row after row;
                              0 = no texture */
} GLFace;

/* One vertex, in model units. */
typedef struct GLVertex {
    float x;
    float y;
    float z;
} GLVertex;

/* An index into the same object's vertex array. */
typedef int16_t GLIndex;

/* ---- Safe arrays -------------------------------------------------------- */

/*
 * A one-dimensional array described by its lower bound, element count and
 * element size. Valid indices run from lowerBound to lowerBound + count - 1.
 */
typedef struct SafeArray {
    int32_t lowerBound;
    int32_t count;       /* number of elements, >= 0 */
    int32_t elementSize; /* bytes per element */
    void* data;          /* count * elementSize bytes */
} SafeArray;

/* An array over existing memory, indexed from 0. */
static inline SafeArray SafeArrayOver(void* data, int32_t count, int32_t elementSize) {
    SafeArray array;
    array.lowerBound = 0;
    array.count = count;
    array.elementSize = elementSize;
    array.data = data;
    return array;
}

/* The lower bound; returns 1, or 0 when the array cannot be read. */
static inline int SafeArrayGetLBound(const SafeArray* array, int32_t* lowerBound) {
    if (array == NULL || array->count < 0 || array->elementSize <= 0 ||
        (array->count > 0 && array->data == NULL)) {
        return 0;
    }
    *lowerBound = array->lowerBound;
    return 1;
}

/* The upper bound (lower bound - 1 when empty); returns 1, or 0 on failure. */
static inline int SafeArrayGetUBound(const SafeArray* array, int32_t* upperBound) {
    int32_t lower;
    int64_t upper;
    if (!SafeArrayGetLBound(array, &lower)) {
        return 0;
    }
    upper = (int64_t)lower + (int64_t)array->count - 1;
    if (upper > INT32_MAX) {
        return 0;
    }
    *upperBound = (int32_t)upper;
    return 1;
}

/*
 * Copies element index into element, which holds elementSize bytes. Fails
 * (returns 0) when the index is outside the bounds or the array's elements
 * are not elementSize bytes.
 */
static inline int SafeArrayGetElement(const SafeArray* array, int32_t index, void* element,
                                      int32_t elementSize) {
    int32_t lower;
    int32_t upper;
    if (!SafeArrayGetUBound(array, &upper) || array->elementSize != elementSize) {
        return 0;
    }
    lower = array->lowerBound;
    if (index < lower || index > upper) {
        return 0;
    }
    memcpy(element, (const char*)array->data + (size_t)(index - lower) * (size_t)elementSize,
           (size_t)elementSize);
    return 1;
}

/* ---- Set-up ------------------------------------------------------------- */

/*
 * Copies the palette (GLPaletteEntry elements; entry k from element k, at
 * most 256) and starts a new empty object store. Returns 1, or 0 when a bound
 * or an element cannot be read: the palette and the store are then left as
 * they were (before a first success there is no store, and adds fail).
 */
MESHDRAW_API int32_t Initialize(SafeArray** palette);

/* Releases every view's rendering context (front, perspective, top, right),
   its child window, and the library's X connection. */
MESHDRAW_API void Cleanup3D(void);

/* ---- Object store ------------------------------------------------------- */

/*
 * Copies one object into the store (at most 255 objects) and uploads its
 * face textures. Returns the new object's index; -1 when the store is full,
 * not made, or the face array cannot be read; 0 when the vertex or index
 * array cannot be read. On a failure the store is unchanged.
 */
MESHDRAW_API int32_t Add3DObject(SafeArray** faces, SafeArray** vertices, SafeArray** indices,
                                 float x, float y, float z);

/* Removes object index; later objects move down one place. An index outside
   the store is ignored. */
MESHDRAW_API void Remove3DObject(int32_t index);

/* Empties the store, making it when there was none (the texture slot
   counter is kept). */
MESHDRAW_API void RemoveAllObjects(void);

/* Sets object index's position and the mark byte (low byte of mark) of each
   of its faces. The third argument is ignored. */
MESHDRAW_API void Update3DObject(int32_t index, int32_t mark, int32_t ignored, float x, float y,
                                 float z);

/* Sets the mark byte and the texture address of one face. No texture is
   uploaded: a face without an uploaded texture is drawn in its colour. */
MESHDRAW_API void Update3DFace(int32_t index, int32_t face, int32_t mark, uintptr_t texture);

/* Returns its argument: a caller that passes a variable by reference gets
   its address, for a GLFace texture field. */
MESHDRAW_API intptr_t GetAddress(intptr_t value);

/* ---- Views -------------------------------------------------------------- */

/*
 * Create a view in the caller's window (an X window id) of width x height
 * pixels. Return 1 when the view is ready, 0 when there is no X display or
 * the window id is not a window; the view's later calls then do nothing.
 */
MESHDRAW_API int32_t CreateFront(unsigned long window, int32_t width, int32_t height);
MESHDRAW_API int32_t CreateTop(unsigned long window, int32_t width, int32_t height);
MESHDRAW_API int32_t CreateRight(unsigned long window, int32_t width, int32_t height);
MESHDRAW_API int32_t CreateView(unsigned long window, int32_t width, int32_t height);

/* Follow a new client size of the caller's window. */
MESHDRAW_API void ResizeFront(int32_t width, int32_t height);
MESHDRAW_API void ResizeTop(int32_t width, int32_t height);
MESHDRAW_API void ResizeRight(int32_t width, int32_t height);
MESHDRAW_API void ResizeView(int32_t width, int32_t height);

/* Draw the stored objects into one view and show the picture. */
MESHDRAW_API void DrawFront(void);
MESHDRAW_API void DrawTop(void);
MESHDRAW_API void DrawRight(void);
MESHDRAW_API void DrawView(void);

/* Turns the perspective camera about the origin: by b in the X-Z plane,
   then by a in the Y-Z plane (radians). Nothing is drawn. */
MESHDRAW_API void RotateView(float a, float b, float ignored);

/* Draw mode (0 filled, 1 lit, 2 wireframe, other: background only) and the
   palette index of the clear colour: of the front, top and right views
   (SetView) and of the perspective view (Set3DView). An index outside 0..255
   keeps the clear colour. */
MESHDRAW_API void SetView(int16_t mode, int16_t index);
MESHDRAW_API void Set3DView(int16_t mode, int16_t index);

/* ---- Keeping the picture ------------------------------------------------ */

/*
 * The file descriptor of the library's X connection, or -1 when no view is
 * open (none made yet, or after Cleanup3D). A caller watches it once its
 * views are made (for example with a QSocketNotifier), calls
 * MeshdrawProcessEvents when it becomes readable, and stops watching before
 * Cleanup3D closes it.
 */
MESHDRAW_API int32_t MeshdrawEventFd(void);

/* Handles the connection's pending events: every view whose window was
   uncovered is drawn again. Returns the number of views drawn. */
MESHDRAW_API int32_t MeshdrawProcessEvents(void);

/* ---- Camera distance, highlight and drawing without a window ------------ */

/*
 * Moves the perspective camera along its direction to the given distance
 * from the origin (bounded to 2..100000 model units); the turn stays. The
 * far plane moves out with a camera beyond 500 units. Nothing is drawn.
 */
MESHDRAW_API void MeshdrawSetViewDistance(float distance);
/* The perspective camera's distance from the origin. */
MESHDRAW_API float MeshdrawViewDistance(void);

/* Draws stored object index (-1: none) in a highlight colour, without its
   textures, in every mode of every view. */
MESHDRAW_API void MeshdrawHighlightObject(int32_t index);

/*
 * Makes the perspective view on an offscreen surface of width x height
 * pixels (EGL on Mesa's surfaceless platform: no X display is needed).
 * DrawView, ResizeView, Set3DView, RotateView and the texture upload of
 * Add3DObject then work on it as on a window view. Returns 1, or 0 when EGL
 * offers no such surface or a window view exists (the two kinds cannot share
 * textures, so a program uses one or the other; window views cannot be made
 * while the offscreen view exists). Cleanup3D releases it.
 */
MESHDRAW_API int32_t MeshdrawCreateOffscreenView(int32_t width, int32_t height);

/*
 * Copies the offscreen view's picture as of the last DrawView: width x
 * height x 3 bytes of red, green, blue, top row first, into rgb (size bytes).
 * Returns 1, or 0 when there is no offscreen view or size is too small.
 */
MESHDRAW_API int32_t MeshdrawReadView(uint8_t* rgb, int64_t size);

#ifdef __cplusplus
}
#endif

#endif /* MESHDRAW_H */
