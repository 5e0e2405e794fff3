// The font catalogue on Linux: fontconfig, with Wine's free fonts for the
// classic desktop added to the program's own configuration.
#include <fontconfig/fontconfig.h>

#include <optional>

#include "graphics/font_files.h"

namespace vx {
namespace {

// Debian's fonts-wine installs "MS Sans Serif" (a bitmap face with the 8, 10
// and 12-point strikes), "Wingdings" and "Tahoma" here, off fontconfig's
// path. The system's configuration rejects bitmap faces, so the dialog face
// is accepted by name; the folder's one-size raster files (.fon) stay out,
// since they cover one code page each and would compete with the face that
// covers Polish. A folder that is not there adds nothing.
constexpr const char* kClassicFacesConfig = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/wine/fonts</dir>
  <selectfont>
    <rejectfont><glob>/usr/share/wine/fonts/*.fon</glob></rejectfont>
    <acceptfont>
      <pattern><patelt name="family"><string>MS Sans Serif</string></patelt></pattern>
    </acceptfont>
  </selectfont>
</fontconfig>
)";

struct FcConfigDeleter {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct FcPatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using FcConfigPtr = std::unique_ptr<FcConfig, FcConfigDeleter>;
using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;

// The system's configuration plus the classic faces; the system's alone when
// the addition does not parse, nothing when not even that loads.
FcConfigPtr LoadConfig() {
    FcConfigPtr config(FcInitLoadConfig());
    if (!config) return nullptr;
    FcConfigParseAndLoadFromMemory(config.get(), reinterpret_cast<const FcChar8*>(kClassicFacesConfig), FcFalse);
    if (!FcConfigBuildFonts(config.get())) return nullptr;
    return config;
}

// Debian's fonts-dejavu-core, which the set-up installs.
constexpr const char* kLastResortFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class FontconfigLocator final : public FontLocator {
public:
    FontconfigLocator() : m_config(LoadConfig()) {}

    std::vector<FontFile> Candidates(const std::string& family, bool bold, bool italic) const override {
        std::vector<FontFile> files;
        for (const std::string& name : {family.empty() ? std::string("sans-serif") : family, std::string("sans-serif")}) {
            if (std::optional<FontFile> found = Match(name, bold, italic)) files.push_back(std::move(*found));
        }
        files.push_back(FontFile{kLastResortFile, 0});
        return files;
    }

private:
    std::optional<FontFile> Match(const std::string& family, bool bold, bool italic) const {
        if (!m_config) return std::nullopt;
        FcPatternPtr pattern(FcPatternCreate());
        if (!pattern) return std::nullopt;
        FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(m_config.get(), pattern.get(), FcMatchPattern);
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        FcPatternPtr match(FcFontMatch(m_config.get(), pattern.get(), &result));
        if (!match) return std::nullopt;
        FcChar8* file = nullptr;
        if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || file == nullptr) return std::nullopt;
        FontFile found{reinterpret_cast<const char*>(file), 0};
        FcPatternGetInteger(match.get(), FC_INDEX, 0, &found.index);
        return found;
    }

    FcConfigPtr m_config;
};

}  // namespace

std::unique_ptr<FontLocator> MakeSystemFontLocator() { return std::make_unique<FontconfigLocator>(); }

}  // namespace vx
