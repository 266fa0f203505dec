#include "model/render/gl_context.h"

#include <map>

int32_t gMainGLContext = 0;
bool gOpenGLEnabled = false;

namespace {
std::map<int32_t, std::unique_ptr<GLDrawTarget>>& Contexts() {
    static std::map<int32_t, std::unique_ptr<GLDrawTarget>> contexts;
    return contexts;
}
int32_t gLastHandle = 0;
}  // namespace

int32_t RegisterGLContext(std::unique_ptr<GLDrawTarget> target) {
    if (!target) return GLCreateContextFailed;
    const int32_t handle = ++gLastHandle;
    Contexts()[handle] = std::move(target);
    return handle;
}

GLDrawTarget* FindGLContext(int32_t hRC) {
    const auto it = Contexts().find(hRC);
    return it == Contexts().end() ? nullptr : it->second.get();
}

bool MakeGLContextCurrent(int32_t hRC) {
    GLDrawTarget* target = FindGLContext(hRC);
    return target != nullptr && target->MakeCurrent();
}

bool DeleteGLContext(int32_t hRC) {
    if (hRC == 0) return true;
    const auto it = Contexts().find(hRC);
    if (it == Contexts().end()) return false;
    std::unique_ptr<GLDrawTarget> target = std::move(it->second);
    Contexts().erase(it);
    target->ReleaseCurrent();
    target->RendererData.reset();
    target.reset();
    return true;
}
