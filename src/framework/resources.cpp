#include "framework/resources.h"

#include <cstring>

namespace vx {

std::optional<std::span<const unsigned char>> FindResource(const std::string& name) {
    for (const EmbeddedResource* r = EmbeddedResources(); r->name != nullptr; ++r) {
        if (name == r->name) return std::span<const unsigned char>(r->data, r->size);
    }
    return std::nullopt;
}

}  // namespace vx
