#include "platform/dx/gl/gl_api.h"

namespace vx::dx::gl {

std::string LoadApi(Api& api, void* (*lookup)(const char* name)) {
#define VX_GL_LOAD(name)                                                 \
    api.name = reinterpret_cast<decltype(api.name)>(lookup("gl" #name)); \
    if (api.name == nullptr) return "gl" #name;
    VX_GL_FUNCTIONS(VX_GL_LOAD)
#undef VX_GL_LOAD
    api.GetGraphicsResetStatus = reinterpret_cast<decltype(api.GetGraphicsResetStatus)>(lookup("glGetGraphicsResetStatus"));
    return {};
}

}  // namespace vx::dx::gl
