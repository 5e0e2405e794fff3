#include "platform/perf_provider.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace vx::win {

bool QueryAsksFor(std::u16string_view query, DWORD titleIndex) {
    if (query.empty() || query == u"Global") return true;
    if (query == u"Costly" || query.starts_with(u"Foreign")) return false;
    while (!query.empty()) {
        while (!query.empty() && query.front() == u' ') query.remove_prefix(1);
        std::size_t length = 0;
        DWORD number = 0;
        bool digits = true;
        while (length < query.size() && query[length] != u' ') {
            const char16_t c = query[length++];
            if (c < u'0' || c > u'9' || number > 0xFFFFFFFFu / 10 - 1) {
                digits = false;
                continue;
            }
            number = number * 10 + static_cast<DWORD>(c - u'0');
        }
        if (digits && length > 0 && number == titleIndex) return true;
        query.remove_prefix(length);
    }
    return false;
}

BYTE* ObjectPlace(BYTE* given, std::span<const BYTE> before) {
    if (before.size() < sizeof(PERF_DATA_BLOCK)) return given;
    // Addresses as numbers: the lengths read are the host's and may point
    // anywhere.
    const std::uintptr_t place = reinterpret_cast<std::uintptr_t>(given);
    const std::uintptr_t lowest = place - before.size();
    // The header's candidates, nearest first: 8-aligned, all of it before the place.
    for (std::uintptr_t at = (place - sizeof(PERF_DATA_BLOCK)) & ~std::uintptr_t{7}; at >= lowest && at < place; at -= 8) {
        const BYTE* const header = before.data() + (at - lowest);
        if (std::memcmp(header, u"PERF", 4 * sizeof(char16_t)) != 0) continue;
        PERF_DATA_BLOCK block;
        std::memcpy(&block, header, sizeof block);
        const std::uintptr_t objectsEnd = at + block.TotalByteLength;
        const bool counted = block.HeaderLength >= sizeof(PERF_DATA_BLOCK) && block.TotalByteLength >= block.HeaderLength &&
                             block.TotalByteLength % 8 == 0 && at + block.HeaderLength <= place;
        if (!counted || objectsEnd >= place) return given;
        return given - (place - objectsEnd);
    }
    return given;
}

CollectedData CollectProcessorObject(std::u16string_view query, BYTE* given, DWORD room, std::span<const BYTE> before,
                                     std::span<const ProcessorCounters> processors, LARGE_INTEGER perfTime) {
    if (!QueryAsksFor(query, kProcessorObjectTitleIndex)) return {ERROR_SUCCESS, given, 0, 0};
    BYTE* const place = ObjectPlace(given, before);
    const std::size_t usable = static_cast<std::size_t>(given - place) + room;
    const std::size_t length = ProcessorObjectLength(processors);
    if (length > usable) return {ERROR_MORE_DATA, given, 0, 0};
    PutProcessorObject(place, processors, perfTime);
    return {ERROR_SUCCESS, place + length, static_cast<DWORD>(length), 1};
}

}  // namespace vx::win
