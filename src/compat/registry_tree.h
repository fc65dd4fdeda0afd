#pragma once
// The contents of the registry: hives of keys holding typed values, read from
// and written as the text of registry import files (".reg"), which is also
// the form the per-user registry file keeps them in.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gleanery {

inline constexpr std::uint32_t HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr std::uint32_t HKEY_CURRENT_USER = 0x80000001;
inline constexpr std::uint32_t HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr std::uint32_t HKEY_USERS = 0x80000003;
inline constexpr std::uint32_t HKEY_CURRENT_CONFIG = 0x80000005;

inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;

struct RegistryValue {
    std::string name;  // empty for the key's default value
    std::uint32_t type = REG_SZ;
    // The data as the registry holds it: a string with its terminating NUL,
    // a number as 4 bytes little-endian.
    std::string data;
};

struct RegistryKey {
    std::string name;
    std::vector<RegistryValue> values;  // in the order they were created
    std::vector<RegistryKey> subkeys;   // ordered by name, ignoring ASCII case

    RegistryKey* subkey(std::string_view keyName);
    RegistryKey& addSubkey(std::string_view keyName);  // the existing one when present
    bool removeSubkey(std::string_view keyName);
    RegistryValue* value(std::string_view valueName);
    void setValue(RegistryValue v);  // replaces a value of that name in its place
    bool removeValue(std::string_view valueName);
};

// The parts of a key path ("Software\Microsoft"); empty parts are dropped.
std::vector<std::string> keyPathParts(std::string_view path);

// A name that the registry file can hold (no line breaks).
bool storableName(std::string_view name);

std::optional<std::uint32_t> hiveByName(std::string_view name);
bool isHive(std::uint32_t handle);

class RegistryTree {
public:
    // nullptr when the hive is unknown or a key on the path is missing.
    RegistryKey* find(std::uint32_t hive, std::string_view path);
    // Creates the missing keys on the path; nullptr for an unknown hive.
    RegistryKey* create(std::uint32_t hive, std::string_view path);
    // Removes a key with everything below it; false when it does not exist.
    bool remove(std::uint32_t hive, std::string_view path);

    // Applies a registry import file as the registry editor does: keys are
    // created, values set, "[-key]" and "name"=- delete. False (and nothing
    // applied) when the text does not start with a registry file header.
    bool applyRegText(std::string_view text);
    // The whole tree as registry file text that applyRegText reads back.
    std::string toRegText() const;

private:
    std::map<std::uint32_t, RegistryKey> hives_;
};

}  // namespace gleanery
