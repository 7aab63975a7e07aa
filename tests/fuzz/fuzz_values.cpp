/*
 * Fuzzes the value syntax: nothing may crash or trip a sanitizer, and every value that
 * parses must survive a round trip through its written form.
 */
#include "IniValues.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto value = ParseInt(text))
        if (ParseInt(TextOfInt(*value)) != value)
            std::abort();
    const int32_t read = IntFromText(text, 12345);
    if (read != 12345 && IntFromText(TextOfInt(read), 0) != read)
        std::abort();
    if (const auto real = ParseReal(text)) {
        const std::string written = TextOfReal(*real);
        if (written.size() != 23)
            std::abort();
        const auto back = ParseReal(written);
        if (std::isfinite(*real) && !back)
            std::abort();
        if (std::isfinite(*real) && std::isfinite(*back) &&
            std::fabs(*back - *real) > std::fabs(*real) * 1e-13)
            std::abort();
    }
    return 0;
}
