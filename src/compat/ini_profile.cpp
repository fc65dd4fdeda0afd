#include "compat/ini_profile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

// Bytes in, bytes out: no wide-character variants and no conversion.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

namespace gleanery {

struct IniFile::Data {
    // Multi-key mode lets a read see the first of duplicate keys, as the
    // Windows functions do; writes replace all of them at the first one's
    // place. Multi-line values stay off: "<<<" is an ordinary value here.
    CSimpleIniA ini{/*utf8*/ false, /*multiKey*/ true, /*multiLine*/ false};
    bool unreadable = false;
};

namespace {

QString fileName(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

bool fitsOnOneLine(std::string_view s) { return s.find_first_of("\r\n") == std::string_view::npos; }

bool inEnclosingQuotes(std::string_view value) {
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

// The reader trims blanks and tabs around a value, so a value with one at
// either end is written in quotes to come back whole.
bool needsQuotes(std::string_view value) {
    const auto edge = [](char c) { return c == ' ' || c == '\t'; };
    return inEnclosingQuotes(value) || (!value.empty() && (edge(value.front()) || edge(value.back())));
}

std::string withoutEnclosingQuotes(std::string value) {
    return inEnclosingQuotes(value) ? value.substr(1, value.size() - 2) : value;
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)), data_(std::make_unique<Data>()) {
    data_->ini.SetSpaces(false);
    data_->ini.SetQuotes(false);
    data_->ini.SetAllowKeyOnly(false);
    if (path_.empty()) return;
    QFile file(fileName(path_));
    if (!file.exists()) return;
    if (!file.open(QIODevice::ReadOnly)) {
        data_->unreadable = true;
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError ||
        data_->ini.LoadData(bytes.constData(), static_cast<std::size_t>(bytes.size())) < 0) {
        data_->ini.Reset();
        data_->unreadable = true;
    }
}

IniFile::IniFile(IniFile&&) noexcept = default;
IniFile& IniFile::operator=(IniFile&&) noexcept = default;
IniFile::~IniFile() = default;

std::string IniFile::get(std::string_view section, std::string_view key, std::string_view defaultValue) const {
    const char* value = data_->ini.GetValue(std::string(section).c_str(), std::string(key).c_str(), nullptr);
    return value ? withoutEnclosingQuotes(value) : std::string(defaultValue);
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
    if (section.empty() || !fitsOnOneLine(section) || section.find(']') != std::string_view::npos)
        throw std::invalid_argument("unusable INI section name \"" + std::string(section) + "\"");
    if (key.empty() || !fitsOnOneLine(key) || key.find('=') != std::string_view::npos || key.front() == '[' ||
        key.front() == ';' || key.front() == '#')
        throw std::invalid_argument("unusable INI key \"" + std::string(key) + "\"");
    std::string line(value);
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    if (needsQuotes(line)) line = '"' + line + '"';
    data_->ini.SetValue(std::string(section).c_str(), std::string(key).c_str(), line.c_str(), nullptr,
                        /*forceReplace*/ true);
}

void IniFile::save() {
    const auto fail = [this](const QString& reason) {
        throw std::runtime_error("The file " + path_ + " could not be written: " + reason.toStdString() + ".");
    };
    if (path_.empty()) throw std::logic_error("an INI file held in memory cannot be saved");
    if (data_->unreadable) fail(QStringLiteral("its present content could not be read"));
    std::string text;
    if (data_->ini.Save(text, /*addSignature*/ data_->ini.IsUnicode()) < 0) fail(QStringLiteral("out of memory"));

    const QString name = fileName(path_);
    const bool existed = QFileInfo::exists(name);
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) fail(file.errorString());
    // The site password is kept in clear, so a file made here is private.
    if (!existed && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        file.cancelWriting();
        fail(file.errorString());
    }
    // commit() does not notice when the last buffered bytes fail to reach the
    // file (a full disk, a size limit) and would rename a truncated file over
    // the good one, so the flush is checked first.
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
        !file.flush() || !file.commit())
        fail(file.errorString());
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    const std::string& path) {
    return IniFile(path).get(section, key, defaultValue);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               const std::string& path) {
    try {
        IniFile file(path);
        file.set(section, key, value);
        file.save();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace gleanery
