// The tests name locales the Linux way; the C runtime on Windows knows them
// by language and country.
#pragma once

#include <cstring>

namespace vx::test {

inline const char* SystemLocaleName(const char* name) {
#if defined(_WIN32)
    if (name != nullptr && std::strcmp(name, "pl_PL.UTF-8") == 0) return "Polish_Poland.1250";
#endif
    return name;
}

}  // namespace vx::test
