#pragma once
// INI files with the semantics of the Windows profile functions that setup
// files and GLSETUP.INI were written for: sections and keys ignore ASCII case,
// values lose surrounding blanks and one matching pair of enclosing quotes,
// and a write replaces a key's line in place, appends a new key at the end of
// its section and keeps every other section. Unlike those functions, a read
// returns the whole value, however long: a long start address or output
// folder must come back as it was stored. Values are bytes: nothing is
// re-encoded.

#include <memory>
#include <string>
#include <string_view>

namespace gleanery {

class IniFile {
public:
    // Reads the file when it exists. A missing or unreadable file reads as
    // empty; an unreadable one is never overwritten by save(). An empty path
    // gives a file that lives in memory only and cannot be saved.
    explicit IniFile(std::string path);
    IniFile(IniFile&&) noexcept;
    IniFile& operator=(IniFile&&) noexcept;
    ~IniFile();

    const std::string& path() const { return path_; }

    std::string get(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // Creates the section when missing. A line break inside the value would
    // end the line early and turn the rest into a line of its own, so line
    // breaks are written as blanks. A value in matching quotes gets one more
    // pair, which a read takes off again, so it reads back as written.
    // Section and key must fit on one line and a key must not contain "="
    // (std::invalid_argument otherwise).
    void set(std::string_view section, std::string_view key, std::string_view value);

    // Writes the whole file at once: a temporary file in the same folder,
    // flushed to disk, then renamed over the target, so a failure never
    // leaves a half-written file. A new file is readable and writable by its
    // owner only; an existing one keeps its permissions. Throws
    // std::runtime_error naming the file when it cannot be written.
    void save();

private:
    struct Data;
    std::string path_;
    std::unique_ptr<Data> data_;
};

// One read from the file at path, as GetPrivateProfileStringA does: the
// default when the file, section or key is missing.
std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    const std::string& path);
// One write to the file at path, as WritePrivateProfileStringA does; false
// when the file cannot be written.
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const std::string& path);

}  // namespace gleanery
