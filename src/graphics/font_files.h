// Where the font files for a family are: the one question the font cache asks
// of the system's font catalogue. Linux answers through fontconfig
// (graphics/fontconfig/); another system plugs its own catalogue in here.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vx {

struct FontFile {
    std::string path;
    int index = 0;  // the face inside a collection file
};

class FontLocator {
public:
    virtual ~FontLocator() = default;
    // The files to try for a family, best first: the catalogue's match (its
    // substitute for a family it lacks), then its plain sans face, then a
    // file that is there on every system of its kind. Any may fail to load.
    virtual std::vector<FontFile> Candidates(const std::string& family, bool bold, bool italic) const = 0;
};

// The system's catalogue, with the classic desktop's own faces added where
// they are installed.
std::unique_ptr<FontLocator> MakeSystemFontLocator();

}  // namespace vx
