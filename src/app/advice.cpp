#include "app/advice.h"

#include <cstdio>

namespace vx {

double DiskTotalGB = 0;
double DiskFreeGB = 0;
double AverageLoadPoints = 0;
int DesktopColorDepth = 0;
int DesktopRefreshRate = 0;

std::string FormatAdviceNumber(double value) {
    // printf follows LC_NUMERIC for the separator and never groups digits
    // without being asked to.
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%.2f", value);
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < sizeof text) return std::string(text, static_cast<std::size_t>(length));
    std::string wide(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(wide.data(), wide.size(), "%.2f", value);
    wide.resize(static_cast<std::size_t>(length));
    return wide;
}

std::vector<std::string> DiskSpaceAdvice(double totalGB, double freeGB) {
    return {
        "Na Twoim dysku z systemem operacyjnym o wielkości: " + FormatAdviceNumber(totalGB) + " GB posiadasz " +
            FormatAdviceNumber(freeGB) +
            " GB wolnego miejsca, aby system sprawnie i szybko działał powinieneś posiadać na niej minimum 0.5 GB "
            "wolnego miejsca choć bardziej zalecam 1 GB!",
        "Polecam także od czasu do czasu wykonywać defragmentację dysku!",
    };
}

std::vector<std::string> ThroughputAdvice(double averageLoadPoints) {
    return {
        "Uuuuu słabo. To jeden z ważniejszych parametrów! Użycie procesora podczas odczytu danych z dysku to " +
            FormatAdviceNumber(averageLoadPoints) +
            " %. Przy takim użyciu procesora podczas odczytywania danych z dysku, procesor nie ma już wolnej chwili "
            "na dekodowanie filmu!",
        "Sprawdź, czy masz włączony tryb Ultra DMA w Menedżerze Urządzeń!",
        "W razie dalszych problemów zainstaluj najnowsze sterowniki IDE!",
    };
}

std::vector<std::string> DesktopAdvice(int colorDepth, int refreshRate) {
    return {
        "Twój Pulpit pracuje w " + std::to_string(colorDepth) + " bitowej głębi kolorów przy odświeżaniu " +
            std::to_string(refreshRate) + " Hz!",
        "Dużo lepszą jakość filmu uzyskasz zmieniając głębię kolorów na conajmniej 32 bitową (minimum 24 bity!)",
        "Polecam także ustawić (jeżeli Twój monitor na to pozwoli) odświeżanie na conajmniej 70 Hz",
    };
}

ToolLaunch Defragmenter(win::DWORD majorVersion) {
    return majorVersion == 5 ? ToolLaunch{"dfrg.msc", nullptr} : ToolLaunch{"defrag.exe", nullptr};
}

}  // namespace vx
