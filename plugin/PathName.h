/*
 * Splitting a Windows file name into its folder, without <windows.h>: the code page's
 * lead-byte test is passed in, so the DBCS rule is tested natively too.
 */
#pragma once

#include <functional>
#include <string>
#include <string_view>

// The text up to and including the last "\" or ":"; empty when there is none. A byte that
// follows a lead byte of a double-byte character is never a separator; "/" never is.
std::string FolderOf(std::string_view fileName,
                     const std::function<bool(unsigned char)>& isLeadByte);
