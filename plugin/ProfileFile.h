/*
 * A portable reader and writer of profile files ("[section]" lines and "key=value" lines),
 * standing in for the Windows profile-string service where there is none, so the settings
 * layer builds and is tested natively. It behaves as that service does in what the settings
 * rely on: names match without regard to case, blanks around names and values are ignored,
 * a value in double quotes reads without them, writes create the file, the section and the
 * key as needed, and every other line of the file is kept as it was.
 */
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The value of key in section of a file's text, or nothing when either is absent.
std::optional<std::string> ProfileLookup(std::string_view content, std::string_view section,
                                         std::string_view key);

// A file's text after one write: value present sets the key, value absent deletes the key,
// key absent erases the whole section. Lines are written back with CRLF.
std::string ProfileEdit(std::string_view content, std::string_view section, const std::string* key,
                        const std::string* value);

// The service's two calls over a file. A read delivers at most bufferSize - 1 characters of
// the value or of the default. A write with section, key and value all absent only flushes;
// a write returns false when the file cannot be written.
std::string ProfileRead(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view defaultText, size_t bufferSize);
bool ProfileWrite(const std::string* section, const std::string* key, const std::string* value,
                  const std::string& path);
