#include "model/render/gl_state.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "model/render/light_setup.h"

void InitGLState() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
}

void SetGLLighting(bool enabled) {
    if (enabled) {
        glLightfv(GL_LIGHT0, GL_AMBIENT, gLightAmbient);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, gLightDiffuse);
        glLightfv(GL_LIGHT0, GL_SPECULAR, gLightSpecular);
        glLightfv(GL_LIGHT0, GL_POSITION, gLightPosition);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
    } else {
        glDisable(GL_LIGHT0);
        glDisable(GL_LIGHTING);
    }
}

void ResizeGLViewport(int32_t width, int32_t height, double farPlane, double fieldOfView) {
    if (width < 0) width = 0;
    if (height < 1) height = 1;  // 0 counts as 1; a negative size is no size
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, static_cast<double>(width) / static_cast<double>(height), 0.1, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
