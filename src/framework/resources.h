// The files of the resources folder, compiled into the program.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace vx {

struct EmbeddedResource {
    const char* name;
    const unsigned char* data;
    std::size_t size;
};

// The table of all resources, ended by an entry whose name is null.
const EmbeddedResource* EmbeddedResources();

// The bytes of a resource by file name, or nothing when there is none.
std::optional<std::span<const unsigned char>> FindResource(const std::string& name);

}  // namespace vx
