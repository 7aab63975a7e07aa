/*
 * Folder part of a file name; see PathName.h.
 */
#include "PathName.h"

std::string FolderOf(std::string_view fileName,
                     const std::function<bool(unsigned char)>& isLeadByte) {
    size_t cut = 0; // length of the folder part
    for (size_t i = 0; i < fileName.size(); ++i) {
        const char c = fileName[i];
        if (isLeadByte(static_cast<unsigned char>(c)) && i + 1 < fileName.size()) {
            ++i; // the trail byte can look like "\" in some code pages
            continue;
        }
        if (c == '\\' || c == ':')
            cut = i + 1;
    }
    return std::string(fileName.substr(0, cut));
}
