/*
 * Fuzzes the portable profile files: any file text with any write must neither crash nor
 * lose what the write did, nor touch the other sections.
 */
#include "ProfileFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
// Names and values the file syntax can hold as they are: no line breaks, brackets, "=",
// surrounding blanks or quotes.
std::string Clean(std::string_view raw, size_t most) {
    std::string out;
    for (char c : raw.substr(0, most))
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '$')
            out.push_back(c);
    return out.empty() ? std::string("k") : out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const uint8_t mode = data[0] % 3;
    const std::string section = Clean(input.substr(1), 6);
    const std::string key = Clean(input.substr(2), 6);
    const std::string value = Clean(input.substr(3), 8);
    const std::string_view content = input.substr(4);

    // The first other section's first key, to check that it is left alone.
    const auto probe = ProfileLookup(content, "other", "k");
    const std::string* k = mode == 2 ? nullptr : &key;
    const std::string* v = mode == 0 ? &value : nullptr;
    const std::string edited = ProfileEdit(content, section, k, v);
    const auto found = ProfileLookup(edited, section, key);
    if (mode == 0 && found != value)
        std::abort();
    if (mode != 0 && found.has_value() && ProfileLookup(content, section, key) == std::nullopt)
        std::abort(); // a delete created something
    if (section != "other" && ProfileLookup(edited, "other", "k") != probe)
        std::abort();
    // Writing the same again changes nothing more.
    if (ProfileEdit(edited, section, k, v) != edited && mode == 0)
        std::abort();
    return 0;
}
