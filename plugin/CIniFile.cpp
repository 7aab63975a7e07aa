/*
 * TCustomIniFile's typed operations and TIniFile over the profile-string service. Service
 * results are deliberately ignored: a failed write is lost and the caller carries on.
 */
#include "CIniFile.h"

#include "IniValues.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "ProfileFile.h"
#endif

int32_t TCustomIniFile::GetInt(const std::string& section, const std::string& key,
                               int32_t defaultValue) {
    return IntFromText(GetText(section, key, std::string()), defaultValue);
}

void TCustomIniFile::PutInt(const std::string& section, const std::string& key, int32_t value) {
    PutText(section, key, TextOfInt(value));
}

bool TCustomIniFile::GetFlag(const std::string& section, const std::string& key,
                             bool defaultValue) {
    return GetInt(section, key, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::PutFlag(const std::string& section, const std::string& key, bool value) {
    PutText(section, key, TextOfFlag(value));
}

double TCustomIniFile::GetReal(const std::string& section, const std::string& key,
                               double defaultValue) {
    return ParseReal(GetText(section, key, std::string())).value_or(defaultValue);
}

void TCustomIniFile::PutReal(const std::string& section, const std::string& key, double value) {
    PutText(section, key, TextOfReal(value));
}

TIniFile::~TIniFile() {
    Flush();
}

#ifdef _WIN32

std::string TIniFile::GetText(const std::string& section, const std::string& key,
                              const std::string& defaultText) {
    char buffer[BufferSize];
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(),
                                                  buffer, BufferSize, FilePath.c_str());
    return std::string(buffer, length);
}

void TIniFile::PutText(const std::string& section, const std::string& key,
                       const std::string& value) {
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), FilePath.c_str());
}

void TIniFile::DropSection(const std::string& section) {
    WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, FilePath.c_str());
}

void TIniFile::DropKey(const std::string& section, const std::string& key) {
    WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, FilePath.c_str());
}

void TIniFile::Flush() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, FilePath.c_str());
}

#else

std::string TIniFile::GetText(const std::string& section, const std::string& key,
                              const std::string& defaultText) {
    return ProfileRead(FilePath, section, key, defaultText, BufferSize);
}

void TIniFile::PutText(const std::string& section, const std::string& key,
                       const std::string& value) {
    ProfileWrite(&section, &key, &value, FilePath);
}

void TIniFile::DropSection(const std::string& section) {
    ProfileWrite(&section, nullptr, nullptr, FilePath);
}

void TIniFile::DropKey(const std::string& section, const std::string& key) {
    ProfileWrite(&section, &key, nullptr, FilePath);
}

void TIniFile::Flush() {
    ProfileWrite(nullptr, nullptr, nullptr, FilePath);
}

#endif
