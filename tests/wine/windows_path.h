/*
 * The build hands the tests Unix paths; under Wine the Unix root is drive Z:.
 */
#pragma once

#include <string>

inline std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}
