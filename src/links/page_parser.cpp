#include "links/page_parser.h"

#include <string>
#include <unordered_set>
#include <vector>

#include "links/link_admission.h"
#include "links/stored_page.h"
#include "support/failure.h"
#include "support/settings_view.h"
#include "support/text.h"

namespace gleanery {

namespace {

constexpr auto npos = std::string_view::npos;

// Line breaks and tabs separate words and attributes just as spaces do.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
// What ends a bare host name in running text or markup.
bool endsHost(char c) { return isBlank(c) || c == '"' || c == '\'' || c == '=' || c == '<' || c == '>'; }
// What ends a word that holds an extension; "(pic.jpg)" gives pic.jpg.
bool endsWord(char c) { return endsHost(c) || c == '(' || c == ')'; }
// After the extension an "=" belongs to the link's query ("page.htm?from=3"):
// ending the word there made up links that the page does not hold.
bool endsWordAfterExtension(char c) { return c != '=' && endsWord(c); }

std::size_t skipBlanks(std::string_view s, std::size_t p) {
    while (p < s.size() && isBlank(s[p])) ++p;
    return p;
}

std::string_view trimmed(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// The value of an attribute whose name ends at `from`, and where the search
// for the next name goes on (after the value, so that a name inside it is
// not read as an attribute of its own).
struct AttributeValue {
    bool found = false;
    std::string_view value;
    std::size_t next = 0;
};

// Blanks, "=", blanks, then a value in double quotes or apostrophes (blanks
// around it trimmed), or an unquoted one up to a blank or ">". Without "="
// the name was only a word; without its closing quote the value is lost.
AttributeValue attributeValue(std::string_view text, std::size_t from) {
    std::size_t p = skipBlanks(text, from);
    if (p >= text.size() || text[p] != '=') return {false, {}, from};
    p = skipBlanks(text, p + 1);
    if (p < text.size() && (text[p] == '"' || text[p] == '\'')) {
        const auto close = text.find(text[p], p + 1);
        if (close == npos) return {false, {}, p + 1};
        return {true, trimmed(text.substr(p + 1, close - p - 1)), close + 1};
    }
    std::size_t end = p;
    while (end < text.size() && !isBlank(text[end]) && text[end] != '>') ++end;
    return {true, text.substr(p, end - p), end};
}

// Split at single spaces: two spaces in a row leave an empty entry, which
// stands for every word of the page. An empty text has no entries.
void appendEntries(std::vector<std::string>& entries, std::string_view list) {
    if (list.empty()) return;
    for (std::size_t from = 0;;) {
        const auto space = list.find(' ', from);
        entries.emplace_back(list.substr(from, space - from));
        if (space == npos) return;
        from = space + 1;
    }
}

// Two spaces in a row become one, in one pass from the left ("   " stays "  ").
std::string singleSpaced(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        out += s[i];
        if (s[i] == ' ' && i + 1 < s.size() && s[i + 1] == ' ') ++i;
    }
    return out;
}

// The page types, then the anchor and non-anchor file types, upper-cased,
// each once: a repeated entry would only find the same words again.
std::vector<std::string> extensionEntries(const SettingsView& settings) {
    std::vector<std::string> all;
    appendEntries(all, settings.text("txtPageTypes"));
    appendEntries(all, singleSpaced(settings.text("txtFileTypes") + " " + settings.text("txtFileTypesNon")));
    std::vector<std::string> entries;
    std::unordered_set<std::string> seen;
    for (std::string& entry : all) {
        entry = asciiUpper(entry);
        if (seen.insert(entry).second) entries.push_back(std::move(entry));
    }
    return entries;
}

class LinkFinder {
public:
    LinkFinder(std::string_view pageUrl, std::string_view text, LinkAdmission& admission)
        : pageUrl_(pageUrl), text_(text), upper_(asciiUpper(text)), admission_(admission) {}

    // Values of HREF attributes.
    void anchorPass() {
        for (auto pos = upper_.find("HREF"); pos != npos;) {
            const AttributeValue v = attributeValue(text_, pos + 4);
            if (v.found) offer(v.value, true);
            pos = upper_.find("HREF", v.next);
        }
    }

    // Host names in running text, found by their "www" or top-level domain.
    void bareHostPass() {
        for (const std::string_view marker : {"WWW", ".COM", ".ORG", ".NET"}) {
            for (auto pos = upper_.find(marker); pos != npos;) {
                const auto [begin, end] = wordAround(pos, endsHost, endsHost);
                const std::string_view word = text_.substr(begin, end - begin);
                if (startsWithNoCase(word, "http://") || startsWithNoCase(word, "https://"))
                    offer(word, true);
                else if (hostsOffered_.insert(word).second)
                    admit(std::string("http://").append(word), true);
                pos = upper_.find(marker, end);
            }
        }
    }

    // Every word that holds one of the entries.
    void extensionPasses(const std::vector<std::string>& entries) {
        for (const std::string& entry : entries) {
            if (entry.empty()) {
                // Found at every position: every word, so later entries find nothing new.
                offerEveryWord();
                return;
            }
            for (auto pos = upper_.find(entry); pos != npos;) {
                std::size_t next = pos + 1;
                if (!endsWord(text_[pos])) {
                    const auto [begin, end] = wordAround(pos, endsWord, endsWordAfterExtension);
                    offer(text_.substr(begin, end - begin), false);
                    next = end;
                }
                pos = upper_.find(entry, next);
            }
        }
    }

    // Values of SRC attributes.
    void sourcePass() {
        for (auto pos = upper_.find("SRC"); pos != npos;) {
            const AttributeValue v = attributeValue(text_, pos + 3);
            if (v.found && !v.value.empty()) offer(v.value, false);
            pos = upper_.find("SRC", v.next);
        }
    }

private:
    // Each link text is admitted once per page and kind: admitting it again
    // would only be refused by the work store.
    void offer(std::string_view link, bool anchor) {
        if (offered_[anchor].insert(link).second) admit(link, anchor);
    }

    void admit(std::string_view link, bool anchor) {
        skipSilently([&] { admission_.HandleResult(pageUrl_, link, anchor); });
    }

    void offerEveryWord() {
        for (std::size_t p = 0; p < text_.size();) {
            if (endsWord(text_[p])) {
                ++p;
                continue;
            }
            const std::size_t end = wordAround(p, endsWord, endsWord).second;
            offer(text_.substr(p, end - p), false);
            p = end;
        }
    }

    // The run of characters around pos that holds no end character, before
    // and after pos.
    std::pair<std::size_t, std::size_t> wordAround(std::size_t pos, bool (*endsBefore)(char),
                                                   bool (*endsAfter)(char)) const {
        std::size_t begin = pos, end = pos;
        while (begin > 0 && !endsBefore(text_[begin - 1])) --begin;
        while (end < text_.size() && !endsAfter(text_[end])) ++end;
        return {begin, end};
    }

    std::string_view pageUrl_;
    std::string_view text_;
    std::string upper_;  // the text with ASCII letters upper-cased, same positions
    LinkAdmission& admission_;
    // Views into the text: the link texts offered by kind, and the bare host
    // names offered with "http://" in front.
    std::unordered_set<std::string_view> offered_[2], hostsOffered_;
};

}  // namespace

void ParseResults(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
                  const OutputDrives& drives, LinkQueue& queue, bool arrivedWhole) {
    if (arrivedWhole && settings.checked("chkStorePages")) skipSilently([&] { StorePage(pageUrl, text, settings, drives); });

    LinkAdmission admission(settings, drives, queue);
    LinkFinder finder(pageUrl, text, admission);
    skipSilently([&] { finder.anchorPass(); });
    skipSilently([&] { finder.bareHostPass(); });
    if (settings.checked("chkScanExt"))
        skipSilently([&] { finder.extensionPasses(extensionEntries(settings)); });
    skipSilently([&] { finder.sourcePass(); });
}

}  // namespace gleanery
