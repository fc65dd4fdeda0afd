#include "links/link_rewriting.h"

#include <algorithm>
#include <array>
#include <vector>

#include "links/local_link.h"
#include "support/failure.h"
#include "support/settings_view.h"
#include "support/text.h"

namespace gleanery {

namespace {

constexpr const char* kModule = "frmGeneralRobot";
constexpr auto npos = std::string_view::npos;

// A set of delimiter bytes, looked up in one step per byte of the page.
class Delimiters {
public:
    constexpr explicit Delimiters(std::string_view members) {
        for (const char c : members) member_[static_cast<unsigned char>(c)] = true;
    }
    // The first member at or after from, or the length of text.
    std::size_t firstIn(std::string_view text, std::size_t from) const {
        while (from < text.size() && !member_[static_cast<unsigned char>(text[from])]) ++from;
        return from;
    }
    std::size_t firstNotIn(std::string_view text, std::size_t from) const {
        while (from < text.size() && member_[static_cast<unsigned char>(text[from])]) ++from;
        return from;
    }
    // The last member in [from, to), or npos.
    std::size_t lastIn(std::string_view text, std::size_t from, std::size_t to) const {
        while (to > from)
            if (member_[static_cast<unsigned char>(text[--to])]) return to;
        return npos;
    }

private:
    std::array<bool, 256> member_{};
};

// Attribute values: what lies between the "=" and the value, and what ends it.
constexpr Delimiters kBeforeValue("= '\"<>");
constexpr Delimiters kValueEnd("= '\"<>?");
// Words around an extension: what starts one ("?" and "&" put it in a query)
// and what ends one.
constexpr Delimiters kWordStart("\"'= <>()?&");
constexpr Delimiters kWordEnd("\"' ><()");

bool keptAsWritten(std::string_view link) {
    return link.starts_with('#') || startsWithNoCase(link, "javascript") || link.starts_with("file:///");
}

// The local form of link, or link as written when it cannot be made.
std::string localForm(const LocalLinkMaker& links, std::string_view link, const Routine& trap) {
    std::string local;
    if (!trap([&] { local = links.convert(link); })) local = link;
    return local;
}

// The next occurrence of one attribute name at or after a position. It is
// searched again only once the position has passed it, so every name costs
// one scan of the page however many links there are.
class NameFinder {
public:
    NameFinder(std::string_view upperText, std::string_view name)
        : upper_(upperText), name_(name), next_(upperText.find(name)) {}
    std::size_t from(std::size_t pos) {
        if (next_ < pos) next_ = upper_.find(name_, pos);
        return next_;
    }

private:
    std::string_view upper_;
    std::string_view name_;
    std::size_t next_;
};

// One walk over the page: the text between values is copied once, and each
// value is replaced by its local form.
std::string attributePass(std::string_view text, const LocalLinkMaker& links, const Routine& trap) {
    const std::string upper = asciiUpper(text);
    NameFinder names[] = {{upper, "HREF"}, {upper, "SRC"}, {upper, "ACTION"}};
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    std::size_t rest = 0;  // start of the text not yet copied
    for (;;) {
        std::size_t name = npos;
        for (NameFinder& finder : names) name = std::min(name, finder.from(rest));
        // A page that begins with a name is left to the second pass. Later the
        // uncopied text always begins with a value's end delimiter, not a name.
        if (name == npos || name == rest) break;
        // A name without "=", or with nothing but delimiters after it, ends
        // the pass and leaves the rest as it is.
        const std::size_t equals = text.find('=', name);
        if (equals == npos) break;
        const std::size_t value = kBeforeValue.firstNotIn(text, equals);
        if (value == text.size()) break;
        const std::size_t end = kValueEnd.firstIn(text, value);

        out.append(text.substr(rest, value - rest));
        const std::string_view link = text.substr(value, end - value);
        if (keptAsWritten(link))
            out.append(link);
        else
            out.append(localForm(links, link, trap));
        rest = end;
    }
    out.append(text.substr(rest));
    return out;
}

// Position of the next "." + extension at or after from, ignoring case.
std::size_t findExtension(std::string_view text, std::string_view extension, std::size_t from) {
    for (auto dot = text.find('.', from); dot != npos; dot = text.find('.', dot + 1))
        if (startsWithNoCase(text.substr(dot + 1), extension)) return dot;
    return npos;
}

// Writes text with the words around each occurrence of the extension
// converted into out, reusing its storage. inQuery carries over from one
// occurrence to the next, across extensions: a word with no start delimiter
// before it keeps the previous word's answer.
void extensionPass(std::string_view text, std::string_view extension, bool& inQuery,
                   const LocalLinkMaker& links, const Routine& trap, std::string& out) {
    out.clear();
    out.reserve(text.size() + text.size() / 4);
    std::size_t rest = 0;  // start of the text not yet copied
    for (auto dot = findExtension(text, extension, rest); dot != npos;
         dot = findExtension(text, extension, rest)) {
        // The start delimiter is looked for in the uncopied text only; without
        // one, its first byte stands in for it.
        std::size_t start = kWordStart.lastIn(text, rest, dot);
        if (start == npos)
            start = rest;
        else
            inQuery = text[start] == '?' || text[start] == '&';
        const std::size_t end = kWordEnd.firstIn(text, dot);

        out.append(text.substr(rest, start + 1 - rest));
        // Both delimiter sets hold the space, so the word has none to trim.
        const std::string_view link = text.substr(start + 1, end - start - 1);
        if (inQuery || keptAsWritten(link))
            out.append(link);
        else
            out.append(localForm(links, link, trap));
        rest = end;
    }
    out.append(text.substr(rest));
}

// The job's page and file extensions in order. Runs of three or more spaces,
// and an empty list, leave empty entries, which match every full stop.
std::vector<std::string> extensionList(const SettingsView& settings) {
    const std::string joined = settings.text("txtPageTypes") + " " + settings.text("txtFileTypes") + " " +
                               settings.text("txtFileTypesNon");
    // One left-to-right replacement of double spaces, as the lists have always been read.
    std::string single;
    for (std::size_t i = 0; i < joined.size(); ++i) {
        single += joined[i];
        if (joined[i] == ' ' && i + 1 < joined.size() && joined[i + 1] == ' ') ++i;
    }
    std::vector<std::string> list;
    for (std::size_t from = 0;;) {
        const auto space = single.find(' ', from);
        list.push_back(single.substr(from, space - from));
        if (space == npos) return list;
        from = space + 1;
    }
}

}  // namespace

std::string ConvertLocal(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
                         const OutputDrives& drives) {
    static constexpr Routine trap{kModule, "ConvertLocal"};
    const LocalLinkMaker links(pageUrl, settings, drives);
    std::string out = attributePass(text, links, trap);
    std::string next;
    bool inQuery = false;
    for (const std::string& extension : extensionList(settings)) {
        extensionPass(out, extension, inQuery, links, trap, next);
        out.swap(next);
    }
    return out;
}

std::string ConvertLocalFile(std::string_view pageUrl, std::string_view link, const SettingsView& settings,
                             const OutputDrives& drives) {
    static constexpr Routine trap{kModule, "ConvertLocalFile"};
    return localForm(LocalLinkMaker(pageUrl, settings, drives), link, trap);
}

}  // namespace gleanery
