// The OpenGL tests run on a window system of their own choosing: SDL's
// off-screen driver (OpenGL through EGL) unless SDL_VIDEODRIVER names one.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        // The tests then find no OpenGL context and skip.
        std::fprintf(stderr, "no window system for OpenGL: %s\n", SDL_GetError());
    }
    const int status = RUN_ALL_TESTS();
    SDL_Quit();
    return status;
}
