#include "compat/registry_tree.h"

#include <QString>
#include <algorithm>
#include <array>
#include <charconv>
#include <system_error>
#include <cstdio>

#include "support/text.h"

namespace gleanery {

namespace {

struct HiveName {
    const char* name;
    std::uint32_t handle;
};
constexpr std::array<HiveName, 5> kHives{{
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
}};

const char* nameOfHive(std::uint32_t handle) {
    for (const auto& h : kHives)
        if (h.handle == handle) return h.name;
    return nullptr;
}

bool lessNoCase(std::string_view a, std::string_view b) { return asciiUpper(a) < asciiUpper(b); }

std::string_view trimmed(std::string_view s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// Registry files written by the Windows registry editor in its version 5
// format are UTF-16; everything here is kept as UTF-8 bytes.
std::string decodedText(std::string_view raw) {
    if (raw.size() >= 2 && raw[0] == '\xFF' && raw[1] == '\xFE') {
        std::u16string units((raw.size() - 2) / 2, u'\0');
        for (std::size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<char16_t>(static_cast<unsigned char>(raw[2 + 2 * i]) |
                                             static_cast<unsigned char>(raw[3 + 2 * i]) << 8);
        return QString::fromStdU16String(units).toUtf8().toStdString();
    }
    if (raw.substr(0, 3) == "\xEF\xBB\xBF") raw.remove_prefix(3);
    return std::string(raw);
}

// Lines with the continuation of long hexadecimal lists ("\" at the end)
// joined, carriage returns removed.
std::vector<std::string> logicalLines(const std::string& text) {
    std::vector<std::string> lines;
    bool continued = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = continued ? trimmed(line) : line;
        const std::string_view content = trimmed(line);
        const bool continues = !content.empty() && content.back() == '\\' && !content.starts_with(';');
        if (continues) line = content.substr(0, content.size() - 1);
        if (continued)
            lines.back() += line;
        else
            lines.emplace_back(line);
        continued = continues;
        start = end + 1;
    }
    return lines;
}

// A quoted text starting at s[0] == '"', with \\ and \" unescaped. Returns
// the position after the closing quote, or npos when there is none.
std::size_t readQuoted(std::string_view s, std::string& out) {
    out.clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '"') return i + 1;
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
        out += s[i];
    }
    return std::string_view::npos;
}

std::string quoted(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + '"';
}

bool parseHex(std::string_view s, std::uint32_t& out) {
    s = trimmed(s);
    if (s.empty() || s.size() > 8) return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out, 16);
    return ec == std::errc() && end == s.data() + s.size();
}

std::string littleEndian(std::uint32_t n) {
    std::string bytes(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>(n >> (8 * i));
    return bytes;
}

// The data after "=": "text", dword:0000000a, hex:01,02 or hex(n):01,02.
std::optional<RegistryValue> parseData(std::string_view s) {
    RegistryValue v;
    if (s.starts_with('"')) {
        if (readQuoted(s, v.data) == std::string_view::npos) return std::nullopt;
        v.type = REG_SZ;
        v.data += '\0';
        return v;
    }
    if (startsWithNoCase(s, "dword:")) {
        std::uint32_t n;
        if (!parseHex(s.substr(6), n)) return std::nullopt;
        v.type = REG_DWORD;
        v.data = littleEndian(n);
        return v;
    }
    if (!startsWithNoCase(s, "hex")) return std::nullopt;
    s.remove_prefix(3);
    v.type = REG_BINARY;
    if (s.starts_with('(')) {
        const auto close = s.find(')');
        if (close == std::string_view::npos || !parseHex(s.substr(1, close - 1), v.type)) return std::nullopt;
        s.remove_prefix(close + 1);
    }
    if (!s.starts_with(':')) return std::nullopt;
    s.remove_prefix(1);
    while (!trimmed(s).empty()) {
        const auto comma = s.find(',');
        std::uint32_t byte;
        if (!parseHex(s.substr(0, comma), byte) || byte > 255) return std::nullopt;
        v.data += static_cast<char>(byte);
        s = comma == std::string_view::npos ? std::string_view{} : s.substr(comma + 1);
    }
    return v;
}

std::string formatData(const RegistryValue& v) {
    const std::string_view text(v.data.data(), v.data.empty() ? 0 : v.data.size() - 1);
    if (v.type == REG_SZ && v.data.ends_with('\0') &&
        text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos)
        return quoted(text);
    char buffer[24];
    if (v.type == REG_DWORD && v.data.size() == 4) {
        auto byte = [&](std::size_t i) { return std::uint32_t{static_cast<unsigned char>(v.data[i])}; };
        const std::uint32_t n = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
        std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(n));
        return buffer;
    }
    std::string out = "hex";
    if (v.type != REG_BINARY) {
        std::snprintf(buffer, sizeof buffer, "(%x)", static_cast<unsigned>(v.type));
        out += buffer;
    }
    out += ':';
    for (std::size_t i = 0; i < v.data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, i ? ",%02x" : "%02x", static_cast<unsigned char>(v.data[i]));
        out += buffer;
    }
    return out;
}

void writeKey(std::string& out, const std::string& path, const RegistryKey& key, bool hiveRoot) {
    if (!hiveRoot || !key.values.empty()) {
        out += "\n[" + path + "]\n";
        for (const auto& v : key.values) out += (v.name.empty() ? "@" : quoted(v.name)) + "=" + formatData(v) + "\n";
    }
    for (const auto& sub : key.subkeys) writeKey(out, path + "\\" + sub.name, sub, false);
}

}  // namespace

RegistryKey* RegistryKey::subkey(std::string_view keyName) {
    for (auto& k : subkeys)
        if (equalsNoCase(k.name, keyName)) return &k;
    return nullptr;
}

RegistryKey& RegistryKey::addSubkey(std::string_view keyName) {
    if (auto* existing = subkey(keyName)) return *existing;
    const auto at = std::lower_bound(subkeys.begin(), subkeys.end(), keyName,
                                     [](const RegistryKey& k, std::string_view n) { return lessNoCase(k.name, n); });
    return *subkeys.insert(at, RegistryKey{std::string(keyName), {}, {}});
}

bool RegistryKey::removeSubkey(std::string_view keyName) {
    return std::erase_if(subkeys, [&](const RegistryKey& k) { return equalsNoCase(k.name, keyName); }) > 0;
}

RegistryValue* RegistryKey::value(std::string_view valueName) {
    for (auto& v : values)
        if (equalsNoCase(v.name, valueName)) return &v;
    return nullptr;
}

void RegistryKey::setValue(RegistryValue v) {
    if (auto* existing = value(v.name)) {
        existing->type = v.type;
        existing->data = std::move(v.data);
    } else {
        values.push_back(std::move(v));
    }
}

bool RegistryKey::removeValue(std::string_view valueName) {
    return std::erase_if(values, [&](const RegistryValue& v) { return equalsNoCase(v.name, valueName); }) > 0;
}

std::vector<std::string> keyPathParts(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        auto end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool storableName(std::string_view name) { return name.find_first_of("\r\n") == std::string_view::npos; }

std::optional<std::uint32_t> hiveByName(std::string_view name) {
    for (const auto& h : kHives)
        if (equalsNoCase(h.name, name)) return h.handle;
    return std::nullopt;
}

bool isHive(std::uint32_t handle) { return nameOfHive(handle) != nullptr; }

RegistryKey* RegistryTree::find(std::uint32_t hive, std::string_view path) {
    if (!isHive(hive)) return nullptr;
    RegistryKey* key = &hives_[hive];
    for (const auto& part : keyPathParts(path))
        if (!(key = key->subkey(part))) return nullptr;
    return key;
}

RegistryKey* RegistryTree::create(std::uint32_t hive, std::string_view path) {
    if (!isHive(hive)) return nullptr;
    RegistryKey* key = &hives_[hive];
    for (const auto& part : keyPathParts(path)) key = &key->addSubkey(part);
    return key;
}

bool RegistryTree::remove(std::uint32_t hive, std::string_view path) {
    auto parts = keyPathParts(path);
    if (parts.empty()) return false;  // a hive itself cannot be removed
    const std::string last = parts.back();
    parts.pop_back();
    std::string parentPath;
    for (const auto& p : parts) parentPath += p + "\\";
    RegistryKey* parent = find(hive, parentPath);
    return parent && parent->removeSubkey(last);
}

bool RegistryTree::applyRegText(std::string_view raw) {
    const auto lines = logicalLines(decodedText(raw));
    auto line = lines.begin();
    while (line != lines.end() && trimmed(*line).empty()) ++line;
    if (line == lines.end() || (!equalsNoCase(trimmed(*line), "REGEDIT4") &&
                                !equalsNoCase(trimmed(*line), "Windows Registry Editor Version 5.00")))
        return false;

    RegistryKey* current = nullptr;
    for (++line; line != lines.end(); ++line) {
        std::string_view s = trimmed(*line);
        if (s.empty() || s.starts_with(';')) continue;
        if (s.starts_with('[')) {
            current = nullptr;
            const auto close = s.rfind(']');
            if (close == std::string_view::npos) continue;
            std::string_view inner = s.substr(1, close - 1);
            const bool removal = inner.starts_with('-');
            if (removal) inner.remove_prefix(1);
            const auto slash = inner.find('\\');
            const auto hive = hiveByName(inner.substr(0, slash));
            const std::string_view path =
                slash == std::string_view::npos ? std::string_view{} : inner.substr(slash + 1);
            if (!hive) continue;
            if (removal)
                remove(*hive, path);
            else
                current = create(*hive, path);
            continue;
        }
        if (!current) continue;
        std::string name;
        std::size_t pos = 1;
        if (s.starts_with('"'))
            pos = readQuoted(s, name);
        else if (!s.starts_with('@'))
            continue;
        if (pos == std::string_view::npos) continue;
        s = trimmed(s.substr(pos));
        if (!s.starts_with('=')) continue;
        s = trimmed(s.substr(1));
        if (s == "-") {
            current->removeValue(name);
        } else if (auto value = parseData(s)) {
            value->name = std::move(name);
            current->setValue(std::move(*value));
        }
    }
    return true;
}

std::string RegistryTree::toRegText() const {
    std::string out = "REGEDIT4\n";
    for (const auto& [hive, root] : hives_) writeKey(out, nameOfHive(hive), root, true);
    return out;
}

}  // namespace gleanery
