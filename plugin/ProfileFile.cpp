/*
 * Portable profile files; see ProfileFile.h. The whole file is read and, on a write, written
 * back at once, so there is no cache and flushing has nothing to do.
 */
#include "ProfileFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string_view> SplitLines(std::string_view content) {
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        content.remove_prefix(end + 1);
    }
    return lines;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    return Trim(line.substr(0, line.find(']')));
}

// The key of a "key=value" line, or nothing for a line without "=".
std::optional<std::string_view> KeyName(std::string_view line) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(0, eq));
}

std::string_view ValueOf(std::string_view line) {
    std::string_view value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return value;
}

// Where a section's lines lie: its header line and one past its last line.
struct SectionSpan {
    size_t Header;
    size_t End;
};

std::optional<SectionSpan> FindSection(const std::vector<std::string_view>& lines,
                                       std::string_view section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i]);
        if (!name || !SameName(*name, section))
            continue;
        size_t end = i + 1;
        while (end < lines.size() && !SectionName(lines[end]))
            ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<std::string_view>& lines, const SectionSpan& span,
                              std::string_view key) {
    for (size_t i = span.Header + 1; i < span.End; ++i) {
        const auto name = KeyName(lines[i]);
        if (name && SameName(*name, key))
            return i;
    }
    return std::nullopt;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text.append(line).append("\r\n");
    return text;
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

std::optional<std::string> ProfileLookup(std::string_view content, std::string_view section,
                                         std::string_view key) {
    const auto lines = SplitLines(content);
    const auto span = FindSection(lines, section);
    if (!span)
        return std::nullopt;
    const auto at = FindKey(lines, *span, key);
    if (!at)
        return std::nullopt;
    return std::string(ValueOf(lines[*at]));
}

std::string ProfileEdit(std::string_view content, std::string_view section, const std::string* key,
                        const std::string* value) {
    const auto views = SplitLines(content);
    std::vector<std::string> lines(views.begin(), views.end());
    const auto span = FindSection(views, section);
    if (key == nullptr) {
        // Every copy of a repeated section goes, or a later one would surface in its place.
        std::vector<std::string> kept;
        bool inSection = false;
        for (size_t i = 0; i < views.size(); ++i) {
            if (const auto name = SectionName(views[i]))
                inSection = SameName(*name, section);
            if (!inSection)
                kept.push_back(lines[i]);
        }
        return JoinLines(kept);
    }
    const std::string entry = value ? *key + "=" + *value : std::string();
    if (!span) {
        if (value) {
            lines.push_back("[" + std::string(section) + "]");
            lines.push_back(entry);
        }
        return JoinLines(lines);
    }
    if (const auto at = FindKey(views, *span, *key)) {
        if (value) {
            lines[*at] = entry;
            return JoinLines(lines);
        }
        // A repeated key would surface once the first copy were gone: drop them all.
        std::vector<std::string> kept;
        for (size_t i = 0; i < views.size(); ++i) {
            const auto name = KeyName(views[i]);
            const bool drop = i > span->Header && i < span->End && name && SameName(*name, *key);
            if (!drop)
                kept.push_back(lines[i]);
        }
        return JoinLines(kept);
    }
    if (value) {
        // After the section's last non-blank line, so a blank separator stays below it.
        size_t at = span->End;
        while (at > span->Header + 1 && Trim(views[at - 1]).empty())
            --at;
        lines.insert(lines.begin() + static_cast<long>(at), entry);
    }
    return JoinLines(lines);
}

std::string ProfileRead(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view defaultText, size_t bufferSize) {
    std::string text(defaultText);
    if (const auto content = ReadFile(path))
        if (auto found = ProfileLookup(*content, section, key))
            text = std::move(*found);
    if (bufferSize == 0)
        return std::string();
    if (text.size() > bufferSize - 1)
        text.resize(bufferSize - 1);
    return text;
}

bool ProfileWrite(const std::string* section, const std::string* key, const std::string* value,
                  const std::string& path) {
    if (section == nullptr) // a flush: every write has already reached the disk
        return key == nullptr && value == nullptr;
    const auto content = ReadFile(path);
    // Deleting from a file that is not there leaves nothing to delete, and no file either.
    if (!content && value == nullptr)
        return true;
    const std::string edited = ProfileEdit(content.value_or(std::string()), *section, key, value);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out << edited;
    out.flush();
    return static_cast<bool>(out);
}
