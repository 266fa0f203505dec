#include "model/render/segment_picking.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

#include "model/render/gl_context.h"
#include "model/render/gl_state.h"
#include "model/render/pick_hits.h"
#include "model/render/scene_render.h"

namespace {

// One selection pass into a buffer of `words`; the hit count, or -1 when the
// buffer overflowed.
int32_t SelectionPass(int32_t x, int32_t y, const GLint viewport[4], std::vector<GLuint>& buffer) {
    glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    const GLint height = viewport[3] > 0 ? viewport[3] : 1;
    gluPickMatrix(static_cast<GLdouble>(x), static_cast<GLdouble>(viewport[3] - y), kPickRegionPixels,
                  kPickRegionPixels, const_cast<GLint*>(viewport));
    gluPerspective(kPreviewFieldOfView, static_cast<double>(viewport[2]) / static_cast<double>(height), 0.1,
                   kPickFarPlane);
    glMatrixMode(GL_MODELVIEW);
    DrawSceneForSelection();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    return glRenderMode(GL_RENDER);
}

}  // namespace

int32_t PickSegment(int32_t x, int32_t y) {
    if (!gOpenGLEnabled) return -1;
    GLDrawTarget* target = FindGLContext(gMainGLContext);
    if (target == nullptr || !target->MakeCurrent()) return -1;

    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);

    // The buffer holds every record the frame can write; should it overflow
    // all the same, the pass is repeated with a larger one rather than taken
    // for a click into empty space.
    std::vector<GLuint> buffer(PickBufferWords(SceneNameChangeBound()));
    for (int attempt = 0; attempt < 4; ++attempt) {
        const int32_t hits = SelectionPass(x, y, viewport, buffer);
        if (hits >= 0) return NearestPickedSegment(buffer.data(), buffer.size(), hits);
        buffer.assign(buffer.size() * 4, 0);
    }
    return -1;
}
