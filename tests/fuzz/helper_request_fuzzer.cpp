// libFuzzer target: the helper's request parser and the client's answer
// decoder must accept or refuse any bytes without reading out of bounds.
#include "disks/platform/helper_protocol.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const ParsedRequest parsed = parseHelperRequest(input);
    if (parsed.error == RequestError::None) {
        // An accepted request re-formats to a line the parser accepts again.
        const std::string line = formatHelperRequest(parsed.request);
        const ParsedRequest again = parseHelperRequest(std::span(
            reinterpret_cast<const std::uint8_t*>(line.data()), line.size()));
        if (again.error != RequestError::None || again.request.disk != parsed.request.disk) {
            __builtin_trap();
        }
    }
    (void)decodeHelperAnswer(input);
    return 0;
}
