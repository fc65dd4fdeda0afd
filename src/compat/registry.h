#pragma once
// Registry access with the Windows registry's model - hives, keys, typed
// values, handles and system error codes - over one per-user registry file.
// A Registry object wraps one open key. Its operations never throw and never
// show anything: they report through ErrorCode and empty results.

#include <cstdint>
#include <string>
#include <variant>

#include "compat/registry_tree.h"

namespace gleanery {

// System error codes that the operations report.
inline constexpr std::int32_t ERROR_SUCCESS = 0;
inline constexpr std::int32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::int32_t ERROR_ACCESS_DENIED = 5;
inline constexpr std::int32_t ERROR_INVALID_HANDLE = 6;
inline constexpr std::int32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr std::int32_t ERROR_NO_MORE_ITEMS = 259;
inline constexpr std::int32_t ERROR_CANTWRITE = 1013;
inline constexpr std::int32_t ERROR_REGISTRY_CORRUPT = 1015;
inline constexpr std::int32_t ERROR_KEY_DELETED = 1018;
// A value of a type the class does not handle, or an index of the wrong kind.
inline constexpr std::int32_t kUnsupportedKind = -1;

// Access masks.
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr std::uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr std::uint32_t KEY_READ = 0x20019;
inline constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;

// The per-user registry file.
std::string registryFilePath();

// Imports a registry file (".reg" text, REGEDIT4 or version 5.00) into the
// registry file, as the registry editor would. False when it cannot be read,
// is not a registry file, or the registry file cannot be written.
bool importRegFile(const std::string& regFile);

class Registry {
public:
    // Arguments and results of Values and Names. std::monostate is Null as an
    // argument and the empty result as a result; double stands for every
    // kind the operations do not handle.
    using Variant = std::variant<std::monostate, std::int32_t, std::string, double>;

    Registry() = default;
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;
    ~Registry();  // closes the key when one is open

    std::uint32_t hKey = 0;
    std::int32_t ErrorCode = ERROR_SUCCESS;
    std::string ValueName;  // name that the last enumeration by index returned

    // Opening a subkey of the object's own key moves the object down one
    // level and releases the parent; any other open key is closed first.
    void OpenKey(std::uint32_t PreviousKey, const std::string& SubKey, std::uint32_t samDesired);
    // Creates or opens; leaves KeyOpen and any previous key as they are.
    void CreateKey(std::uint32_t PreviousKey, const std::string& SubKey, std::uint32_t samDesired);
    void CloseKey();
    bool KeyOpen() const { return keyOpen_; }

    // The name of the subkey at that index (ordered by name); empty text
    // with ERROR_NO_MORE_ITEMS past the last one.
    std::string SubkeyNames(std::int32_t llIndex);

    // Key information, fetched by the first read of any of them and kept
    // until this object opens, creates, closes or changes something.
    std::string Class();
    std::int32_t SubKeyCount();
    std::int32_t MaxSubKeyLength();
    std::int32_t MaxSubKeyClassLength();
    std::int32_t ValueCount();
    std::int32_t MaxValueNameLength();
    std::int32_t MaxValueLength();
    std::int32_t SecurityDescriptor();

    void DeleteSubkey(const std::string& lsKeyName);

    // A value's data (text for string values, a number for number values) by
    // Null (the default value), whole-number index (enumeration order, also
    // setting ValueName) or name; other kinds and other value types give the
    // empty result with ErrorCode -1.
    Variant Values(const Variant& Index);
    // Writes the value named by the text form of Index: Null and whole
    // numbers as number values (Null without data), text as a string value.
    // Other kinds write nothing and leave ErrorCode alone.
    void Values(const Variant& Index, const Variant& Value);
    // With a whole-number index the value's name, otherwise as Values.
    Variant Names(const Variant& Index);

private:
    struct KeyInfo {
        std::string className;
        std::int32_t subKeyCount = 0;
        std::int32_t maxSubKeyLength = 0;
        std::int32_t maxSubKeyClassLength = 0;
        std::int32_t valueCount = 0;
        std::int32_t maxValueNameLength = 0;
        std::int32_t maxValueLength = 0;
        std::int32_t securityDescriptor = 0;
    };
    const KeyInfo& info();
    Variant valueAt(std::int32_t index);
    Variant valueNamed(const std::string& name);

    bool keyOpen_ = false;
    bool infoLoaded_ = false;
    KeyInfo info_;
};

// The text form of a Variant: empty, the decimal number, the text.
std::string textForm(const Registry::Variant& v);

}  // namespace gleanery
