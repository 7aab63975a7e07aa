/*
 * Settings-file classes. TCustomIniFile turns integers, booleans and reals into text and back
 * on top of abstract text primitives; TIniFile implements those over the profile-string
 * service (Windows' own, or the portable ProfileFile elsewhere). Every operation goes to the
 * file at once: there is no cache, so an object is cheap to make for one load or one save.
 */
#pragma once

#include <cstdint>
#include <string>

class TCustomIniFile {
  public:
    explicit TCustomIniFile(std::string filePath) : FilePath(std::move(filePath)) {}
    virtual ~TCustomIniFile() = default;
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;

    // The typed operations reach the file only through GetText and PutText, so a subclass
    // that implements the abstract ones has all of them.
    virtual std::string GetText(const std::string& section, const std::string& key,
                                const std::string& defaultText) = 0;
    virtual void PutText(const std::string& section, const std::string& key,
                         const std::string& value) = 0;
    virtual int32_t GetInt(const std::string& section, const std::string& key,
                           int32_t defaultValue);
    virtual void PutInt(const std::string& section, const std::string& key, int32_t value);
    virtual bool GetFlag(const std::string& section, const std::string& key, bool defaultValue);
    virtual void PutFlag(const std::string& section, const std::string& key, bool value);
    virtual double GetReal(const std::string& section, const std::string& key, double defaultValue);
    virtual void PutReal(const std::string& section, const std::string& key, double value);
    virtual void DropSection(const std::string& section) = 0;
    virtual void DropKey(const std::string& section, const std::string& key) = 0;
    virtual void Flush() = 0;

    const std::string FilePath;
};

class TIniFile : public TCustomIniFile {
  public:
    using TCustomIniFile::TCustomIniFile;
    ~TIniFile() override; // flushes

    std::string GetText(const std::string& section, const std::string& key,
                        const std::string& defaultText) override;
    void PutText(const std::string& section, const std::string& key,
                 const std::string& value) override;
    void DropSection(const std::string& section) override;
    void DropKey(const std::string& section, const std::string& key) override;
    void Flush() override;

    // Values longer than this less one are cut when read.
    static constexpr size_t BufferSize = 2048;
};
