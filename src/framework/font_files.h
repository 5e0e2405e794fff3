// Where the font files for a family are: the one question the font cache asks
// of the system's font catalogue. Linux answers through fontconfig
// (framework/fontconfig/); another system plugs its own catalogue in here.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace vx {

struct FontFile {
    std::string path;
    int index = 0;  // the face inside a collection file
};

class FontLocator {
public:
    virtual ~FontLocator() = default;
    // The catalogue's best file for a family (its substitute for a family it
    // lacks), or nothing when it has none at all.
    virtual std::optional<FontFile> Find(const std::string& family, bool bold, bool italic) const = 0;
};

// The system's catalogue, with the classic desktop's own faces added where
// they are installed.
std::unique_ptr<FontLocator> MakeSystemFontLocator();

}  // namespace vx
