#include "links/link_rewriting.h"

#include <array>
#include <cstddef>
#include <utility>
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
    bool contains(char c) const { return member_[static_cast<unsigned char>(c)]; }
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
// A query belongs to the link it follows; "=" and "&" inside it are its own.
constexpr Delimiters kQueryEnd(" '\"<>");
// Words around an extension: what starts one ("?" and "&" put it in a query)
// and what ends one.
constexpr Delimiters kWordStart("\"'= <>()?&");
constexpr Delimiters kWordEnd("\"' ><()");

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
    std::size_t size() const { return name_.size(); }

private:
    std::string_view upper_;
    std::string_view name_;
    std::size_t next_;
};

bool isAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The "=" of an attribute whose name lies at [name, end), or npos when the
// text there is part of a longer word ("transaction", "srcset") or has no
// "=" of its own: the next "=" would belong to some other attribute, whose
// value is not a link.
std::size_t attributeEquals(std::string_view text, std::size_t name, std::size_t end) {
    if (name > 0 && isAsciiAlnum(text[name - 1])) return npos;
    const std::size_t equals = text.find_first_not_of(" \t\r\n", end);
    return equals != npos && text[equals] == '=' ? equals : npos;
}

// The start of the value after an attribute's "=": past the "=", blanks and
// quotes. An empty quoted value ends at its closing quote instead of taking
// the next attribute for the value.
std::size_t valueStart(std::string_view text, std::size_t equals) {
    std::size_t at = equals;
    for (; at < text.size() && kBeforeValue.contains(text[at]); ++at)
        if ((text[at] == '"' || text[at] == '\'') && at + 1 < text.size() && text[at + 1] == text[at])
            return at + 1;
    return at;
}

// A page with the places of the local forms the first pass wrote, which the
// second pass leaves alone: resolved again from the page, a relative form
// could name another file.
struct Rewritten {
    struct Span {
        std::size_t begin, end;
    };
    std::string text;
    std::vector<Span> forms;  // in order, disjoint
};

// One walk over the page: the text between values is copied once, and each
// value is replaced by its local form.
Rewritten attributePass(std::string_view text, const LocalLinkMaker& links, const Routine& trap) {
    const std::string upper = asciiUpper(text);
    NameFinder names[] = {{upper, "HREF"}, {upper, "SRC"}, {upper, "ACTION"}};
    Rewritten out;
    out.text.reserve(text.size() + text.size() / 4);
    std::size_t rest = 0;    // start of the text not yet copied
    std::size_t search = 0;  // where the next name may lie
    for (;;) {
        std::size_t name = npos, nameEnd = npos;
        for (NameFinder& finder : names) {
            if (const std::size_t at = finder.from(search); at < name) {
                name = at;
                nameEnd = at + finder.size();
            }
        }
        // A page that begins with a name is left to the second pass. Later the
        // uncopied text always begins with a value's end delimiter, not a name.
        if (name == npos || name == rest) break;
        const std::size_t equals = attributeEquals(text, name, nameEnd);
        if (equals == npos) {
            search = name + 1;
            continue;
        }
        // Nothing but delimiters after the "=" ends the pass and leaves the rest as it is.
        const std::size_t value = valueStart(text, equals);
        if (value == text.size()) break;
        std::size_t end = kValueEnd.firstIn(text, value);
        // A converted link takes its query along: the mirror stores the file
        // under the whole URL, and a query left behind would name no file.
        const std::size_t withQuery =
            end < text.size() && text[end] == '?' ? kQueryEnd.firstIn(text, end) : end;

        out.text.append(text.substr(rest, value - rest));
        const std::string_view link = text.substr(value, withQuery - value);
        if (KeptAsWritten(link)) {
            out.text.append(text.substr(value, end - value));
        } else {
            const std::size_t begin = out.text.size();
            out.text.append(localForm(links, link, trap));
            out.forms.push_back({begin, out.text.size()});
            end = withQuery;
        }
        rest = search = end;
    }
    out.text.append(text.substr(rest));
    return out;
}

// Position of the next "." + extension at or after from, ignoring case.
std::size_t findExtension(std::string_view text, std::string_view extension, std::size_t from) {
    for (auto dot = text.find('.', from); dot != npos; dot = text.find('.', dot + 1))
        if (startsWithNoCase(text.substr(dot + 1), extension)) return dot;
    return npos;
}

// Writes page with the words around each occurrence of the extension
// converted into out, reusing its storage. inQuery carries over from one
// occurrence to the next, across extensions: a word with no start delimiter
// before it keeps the previous word's answer.
void extensionPass(const Rewritten& page, std::string_view extension, bool& inQuery,
                   const LocalLinkMaker& links, const Routine& trap, Rewritten& out) {
    const std::string_view text = page.text;
    out.text.clear();
    out.text.reserve(text.size() + text.size() / 4);
    out.forms.clear();
    // The local forms move by what the words before them gained or lost.
    std::size_t form = 0;    // the first form not yet carried over
    std::ptrdiff_t shift = 0;
    const auto moved = [&](std::size_t pos) { return std::size_t(std::ptrdiff_t(pos) + shift); };
    const auto carryFormsBefore = [&](std::size_t pos) {
        for (; form < page.forms.size() && page.forms[form].end <= pos; ++form)
            out.forms.push_back({moved(page.forms[form].begin), moved(page.forms[form].end)});
    };
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

        out.text.append(text.substr(rest, start + 1 - rest));
        carryFormsBefore(start + 1);
        const bool inLocalForm = form < page.forms.size() && page.forms[form].begin < end;
        // Both delimiter sets hold the space, so the word has none to trim.
        const std::string_view link = text.substr(start + 1, end - start - 1);
        if (inLocalForm || inQuery || KeptAsWritten(link)) {
            out.text.append(link);
        } else {
            const std::string local = localForm(links, link, trap);
            out.text.append(local);
            shift += std::ptrdiff_t(local.size()) - std::ptrdiff_t(link.size());
        }
        rest = end;
    }
    out.text.append(text.substr(rest));
    carryFormsBefore(npos);
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
    Rewritten page = attributePass(text, links, trap);
    Rewritten next;
    bool inQuery = false;
    for (const std::string& extension : extensionList(settings)) {
        extensionPass(page, extension, inQuery, links, trap, next);
        std::swap(page, next);
    }
    return std::move(page.text);
}

std::string ConvertLocalFile(std::string_view pageUrl, std::string_view link, const SettingsView& settings,
                             const OutputDrives& drives) {
    static constexpr Routine trap{kModule, "ConvertLocalFile"};
    return localForm(LocalLinkMaker(pageUrl, settings, drives), link, trap);
}

}  // namespace gleanery
