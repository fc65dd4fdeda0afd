#include "compat/registry.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <map>
#include <mutex>
#include <optional>

#include "support/program_paths.h"
#include "support/text.h"

namespace gleanery {

namespace {

struct OpenedKey {
    std::uint32_t hive;
    std::string path;
    std::uint32_t access;
};

// Handles are process-wide, as the system's are: a handle one object opened
// can be the parent of another object's open. Numbers are never reused, so a
// closed handle stays invalid.
class HandleTable {
public:
    std::uint32_t add(OpenedKey key) {
        std::lock_guard lock(mutex_);
        next_ += 4;
        keys_.emplace(next_, std::move(key));
        return next_;
    }
    bool remove(std::uint32_t handle) {
        std::lock_guard lock(mutex_);
        return keys_.erase(handle) > 0;
    }
    std::optional<OpenedKey> find(std::uint32_t handle) {
        if (isHive(handle)) return OpenedKey{handle, {}, KEY_ALL_ACCESS};
        std::lock_guard lock(mutex_);
        const auto it = keys_.find(handle);
        if (it == keys_.end()) return std::nullopt;
        return it->second;
    }

private:
    std::mutex mutex_;
    std::map<std::uint32_t, OpenedKey> keys_;
    std::uint32_t next_ = 0x100;
};

HandleTable& handles() {
    static HandleTable table;
    return table;
}

QString fileName(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

// The registry file, read for one operation.
class Store {
public:
    Store() {
        QFile file(fileName(registryFilePath()));
        if (!file.exists()) return;
        if (!file.open(QIODevice::ReadOnly)) {
            status_ = ERROR_REGISTRY_CORRUPT;
            return;
        }
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError || (!bytes.isEmpty() && !tree.applyRegText(bytes.toStdString())))
            status_ = ERROR_REGISTRY_CORRUPT;
    }
    std::int32_t status() const { return status_; }

    // The whole file replaced in one step; one that could not be read is
    // never overwritten.
    std::int32_t save() const {
        if (status_ != ERROR_SUCCESS) return status_;
        const std::string text = tree.toRegText();
        QSaveFile file(fileName(registryFilePath()));
        const bool written =
            file.open(QIODevice::WriteOnly) &&
            file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()) &&
            file.flush() && file.commit();
        return written ? ERROR_SUCCESS : ERROR_CANTWRITE;
    }

    RegistryTree tree;

private:
    std::int32_t status_ = ERROR_SUCCESS;
};

// The key behind a handle, in a fresh read of the registry file.
struct Located {
    Located(std::uint32_t handle, std::uint32_t neededAccess) {
        const auto found = handles().find(handle);
        if (!found) {
            error = ERROR_INVALID_HANDLE;
            return;
        }
        opened = *found;
        if ((opened.access & neededAccess) != neededAccess)
            error = ERROR_ACCESS_DENIED;
        else if (store.status() != ERROR_SUCCESS)
            error = store.status();
        else if (!(key = store.tree.find(opened.hive, opened.path)))
            error = ERROR_KEY_DELETED;
    }
    Store store;
    OpenedKey opened{};
    RegistryKey* key = nullptr;
    std::int32_t error = ERROR_SUCCESS;
};

std::string joinedPath(const std::string& parent, const std::string& sub) {
    std::string path;
    for (const auto& part : keyPathParts(parent + "\\" + sub)) path += (path.empty() ? "" : "\\") + part;
    return path;
}

std::int32_t openHandle(std::uint32_t parentHandle, const std::string& subKey, std::uint32_t access, bool create,
                        std::uint32_t& handle) {
    Located parent(parentHandle, 0);
    if (parent.error != ERROR_SUCCESS) return parent.error;
    const std::string path = joinedPath(parent.opened.path, subKey);
    if (!parent.store.tree.find(parent.opened.hive, path)) {
        if (!create) return ERROR_FILE_NOT_FOUND;
        if (!(parent.opened.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
        if (!storableName(subKey)) return ERROR_INVALID_PARAMETER;
        parent.store.tree.create(parent.opened.hive, path);
        if (const auto saved = parent.store.save(); saved != ERROR_SUCCESS) return saved;
    }
    handle = handles().add({parent.opened.hive, path, access});
    return ERROR_SUCCESS;
}

std::int32_t closeHandle(std::uint32_t handle) {
    if (isHive(handle)) return ERROR_SUCCESS;
    return handles().remove(handle) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

std::string littleEndian(std::int32_t n) {
    std::string bytes(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>(static_cast<std::uint32_t>(n) >> (8 * i));
    return bytes;
}

// String values as text, number values as numbers; other types unsupported.
Registry::Variant typedData(const RegistryValue& v, std::int32_t& errorCode) {
    if (v.type == REG_SZ) return v.data.ends_with('\0') ? v.data.substr(0, v.data.size() - 1) : v.data;
    if (v.type == REG_DWORD) {
        std::uint32_t n = 0;
        for (std::size_t i = std::min<std::size_t>(v.data.size(), 4); i-- > 0;)
            n = (n << 8) | static_cast<unsigned char>(v.data[i]);
        return static_cast<std::int32_t>(n);
    }
    errorCode = kUnsupportedKind;
    return {};
}

}  // namespace

std::string registryFilePath() { return userDataDir() + "/registry.reg"; }

bool importRegFile(const std::string& regFile) {
    QFile file(fileName(regFile));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return false;
    Store store;
    return store.status() == ERROR_SUCCESS && store.tree.applyRegText(bytes.toStdString()) &&
           store.save() == ERROR_SUCCESS;
}

std::string textForm(const Registry::Variant& v) {
    if (const auto* n = std::get_if<std::int32_t>(&v)) return decimal(*n);
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* d = std::get_if<double>(&v)) return plainNumber(*d);
    return {};
}

Registry::~Registry() {
    if (keyOpen_) closeHandle(hKey);
}

void Registry::OpenKey(std::uint32_t PreviousKey, const std::string& SubKey, std::uint32_t samDesired) {
    const bool movingDown = keyOpen_ && PreviousKey == hKey;
    const std::uint32_t parent = hKey;
    if (keyOpen_ && !movingDown) CloseKey();
    infoLoaded_ = false;
    std::uint32_t opened = 0;
    ErrorCode = openHandle(PreviousKey, SubKey, samDesired, false, opened);
    if (ErrorCode == ERROR_SUCCESS) {
        hKey = opened;
        if (movingDown) ErrorCode = closeHandle(parent);
        keyOpen_ = true;
    } else if (!movingDown) {
        hKey = 0;  // a failed open below the object's own key keeps that key
    }
}

void Registry::CreateKey(std::uint32_t PreviousKey, const std::string& SubKey, std::uint32_t samDesired) {
    infoLoaded_ = false;
    std::uint32_t created = 0;
    ErrorCode = openHandle(PreviousKey, SubKey, samDesired, true, created);
    if (ErrorCode == ERROR_SUCCESS) hKey = created;
}

void Registry::CloseKey() {
    ErrorCode = closeHandle(hKey);
    keyOpen_ = false;
    infoLoaded_ = false;
}

std::string Registry::SubkeyNames(std::int32_t llIndex) {
    Located here(hKey, KEY_ENUMERATE_SUB_KEYS);
    ErrorCode = here.error;
    if (ErrorCode != ERROR_SUCCESS) return {};
    if (llIndex < 0 || static_cast<std::size_t>(llIndex) >= here.key->subkeys.size()) {
        ErrorCode = ERROR_NO_MORE_ITEMS;
        return {};
    }
    return here.key->subkeys[static_cast<std::size_t>(llIndex)].name;
}

const Registry::KeyInfo& Registry::info() {
    if (infoLoaded_) return info_;
    Located here(hKey, KEY_QUERY_VALUE);
    ErrorCode = here.error;
    if (ErrorCode != ERROR_SUCCESS) return info_;
    KeyInfo fresh;
    const auto length = [](const std::string& s) { return static_cast<std::int32_t>(s.size()); };
    fresh.subKeyCount = static_cast<std::int32_t>(here.key->subkeys.size());
    for (const auto& k : here.key->subkeys) fresh.maxSubKeyLength = std::max(fresh.maxSubKeyLength, length(k.name));
    fresh.valueCount = static_cast<std::int32_t>(here.key->values.size());
    for (const auto& v : here.key->values) {
        fresh.maxValueNameLength = std::max(fresh.maxValueNameLength, length(v.name));
        fresh.maxValueLength = std::max(fresh.maxValueLength, length(v.data));
    }
    info_ = fresh;
    infoLoaded_ = true;
    return info_;
}

std::string Registry::Class() { return info().className; }
std::int32_t Registry::SubKeyCount() { return info().subKeyCount; }
std::int32_t Registry::MaxSubKeyLength() { return info().maxSubKeyLength; }
std::int32_t Registry::MaxSubKeyClassLength() { return info().maxSubKeyClassLength; }
std::int32_t Registry::ValueCount() { return info().valueCount; }
std::int32_t Registry::MaxValueNameLength() { return info().maxValueNameLength; }
std::int32_t Registry::MaxValueLength() { return info().maxValueLength; }
std::int32_t Registry::SecurityDescriptor() { return info().securityDescriptor; }

void Registry::DeleteSubkey(const std::string& lsKeyName) {
    infoLoaded_ = false;
    Located here(hKey, 0);
    ErrorCode = here.error;
    if (ErrorCode != ERROR_SUCCESS) return;
    // An empty name would name the open key itself.
    if (keyPathParts(lsKeyName).empty()) {
        ErrorCode = ERROR_INVALID_PARAMETER;
        return;
    }
    const std::string path = joinedPath(here.opened.path, lsKeyName);
    const RegistryKey* key = here.store.tree.find(here.opened.hive, path);
    if (!key)
        ErrorCode = ERROR_FILE_NOT_FOUND;
    else if (!key->subkeys.empty())
        ErrorCode = ERROR_ACCESS_DENIED;  // only a key without subkeys goes
    else if (here.store.tree.remove(here.opened.hive, path))
        ErrorCode = here.store.save();
}

Registry::Variant Registry::valueAt(std::int32_t index) {
    ValueName.clear();
    Located here(hKey, KEY_QUERY_VALUE);
    ErrorCode = here.error;
    if (ErrorCode != ERROR_SUCCESS) return {};
    if (index < 0 || static_cast<std::size_t>(index) >= here.key->values.size()) {
        ErrorCode = ERROR_NO_MORE_ITEMS;
        return {};
    }
    const RegistryValue& v = here.key->values[static_cast<std::size_t>(index)];
    ValueName = v.name;
    return typedData(v, ErrorCode);
}

Registry::Variant Registry::valueNamed(const std::string& name) {
    Located here(hKey, KEY_QUERY_VALUE);
    ErrorCode = here.error;
    if (ErrorCode != ERROR_SUCCESS) return {};
    const RegistryValue* v = here.key->value(name);
    if (!v) {
        ErrorCode = ERROR_FILE_NOT_FOUND;
        return {};
    }
    return typedData(*v, ErrorCode);
}

Registry::Variant Registry::Values(const Variant& Index) {
    if (std::holds_alternative<std::monostate>(Index)) return valueNamed({});
    if (const auto* n = std::get_if<std::int32_t>(&Index)) return valueAt(*n);
    if (const auto* s = std::get_if<std::string>(&Index)) return valueNamed(*s);
    ErrorCode = kUnsupportedKind;
    return {};
}

void Registry::Values(const Variant& Index, const Variant& Value) {
    RegistryValue v{textForm(Index), REG_DWORD, {}};
    if (const auto* n = std::get_if<std::int32_t>(&Value)) {
        v.data = littleEndian(*n);
    } else if (const auto* s = std::get_if<std::string>(&Value)) {
        v.type = REG_SZ;
        v.data = *s + '\0';
    } else if (std::holds_alternative<double>(Value)) {
        return;
    }
    infoLoaded_ = false;
    Located here(hKey, KEY_SET_VALUE);
    ErrorCode = here.error;
    if (ErrorCode != ERROR_SUCCESS) return;
    if (!storableName(v.name)) {
        ErrorCode = ERROR_INVALID_PARAMETER;
        return;
    }
    here.key->setValue(std::move(v));
    ErrorCode = here.store.save();
}

Registry::Variant Registry::Names(const Variant& Index) {
    const auto* n = std::get_if<std::int32_t>(&Index);
    if (!n) return Values(Index);
    valueAt(*n);
    if (ErrorCode == kUnsupportedKind) ErrorCode = ERROR_SUCCESS;  // the name is there; its type is no matter
    return ValueName;
}

}  // namespace gleanery
