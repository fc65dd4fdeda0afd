#include "links/page_parser.h"

#include <deque>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "links/attribute_values.h"
#include "links/character_references.h"
#include "links/extension_entries.h"
#include "links/link_admission.h"
#include "links/markup_tags.h"
#include "links/page_requisites.h"
#include "links/stored_page.h"
#include "support/byte_set.h"
#include "support/failure.h"
#include "support/settings_view.h"
#include "support/text.h"

namespace gleanery {

namespace {

constexpr auto npos = std::string_view::npos;
// A word found by its extension that is longer than this is no address; the
// bound keeps a page of endless "a=a=a=..." from costing time by its square.
constexpr std::size_t kMaxWordLink = 2048;

// What ends a bare host name in running text or markup. Line breaks and tabs
// separate words and attributes just as spaces do.
constexpr ByteSet endsHost(" \t\n\r\f\v\"'=<>");
// What starts a word that holds an extension; "(pic.jpg)" gives pic.jpg,
// "frame.htm?page=content.htm" also gives content.htm.
constexpr ByteSet startsWord(" \t\n\r\f\v\"'=<>()");
// What ends it: an "=" belongs to the word's query ("page.htm?from=3"), so
// that no made-up link such as "page.htm?from" is offered.
constexpr ByteSet endsWord(" \t\n\r\f\v\"'<>()");

class LinkFinder {
public:
    LinkFinder(std::string_view baseUrl, std::string_view text, LinkAdmission& admission)
        : baseUrl_(baseUrl), text_(text), upper_(asciiUpper(text)), admission_(admission) {}

    // Values of HREF attributes.
    void anchorPass() { attributePass("HREF", LinkRole::Anchor); }

    // Host names in running text, found by their "www" or top-level domain.
    void bareHostPass() {
        for (const std::string_view marker : {"WWW", ".COM", ".ORG", ".NET"}) {
            for (auto pos = upper_.find(marker); pos != npos;) {
                std::size_t begin = pos, end = pos;
                while (begin > 0 && !endsHost(text_[begin - 1])) --begin;
                while (end < text_.size() && !endsHost(text_[end])) ++end;
                const std::string_view word = text_.substr(begin, end - begin);
                if (startsWithNoCase(word, "http://") || startsWithNoCase(word, "https://"))
                    offer(word, LinkRole::Anchor);
                else if (hostsOffered_.insert(word).second)
                    admit(std::string("http://").append(word), LinkRole::Anchor);
                pos = upper_.find(marker, end);
            }
        }
    }

    // Every word that holds one of the entries. A word begins after the
    // last start delimiter before the entry and ends at the first end
    // delimiter after it; both are tracked as the search moves forward, so
    // each entry costs one walk over the page.
    void extensionPasses(const std::vector<std::string>& entries) {
        for (const std::string& entry : entries) {
            std::size_t scanned = 0, wordBegin = 0, wordEnd = 0, offeredBegin = npos;
            const auto wordAt = [&](std::size_t pos) {
                // Back to the word's start, never past what was looked at already.
                for (std::size_t q = pos; q > scanned; --q) {
                    if (startsWord(text_[q - 1])) {
                        wordBegin = q;
                        break;
                    }
                }
                scanned = pos;
                if (wordEnd <= pos) {
                    wordEnd = pos;
                    while (wordEnd < text_.size() && !endsWord(text_[wordEnd])) ++wordEnd;
                }
                // Further occurrences in the same word find it again.
                if (wordBegin == offeredBegin || wordEnd - wordBegin > kMaxWordLink) return;
                offeredBegin = wordBegin;
                offer(readable(wordBegin, wordEnd), LinkRole::Other);
            };
            if (entry.empty()) {
                // Found at every position: each start of a word gives one.
                for (std::size_t p = 0; p < text_.size(); ++p)
                    if (!startsWord(text_[p]) && (p == 0 || startsWord(text_[p - 1]))) wordAt(p);
                return;  // every word is offered: later entries find nothing new
            }
            for (auto pos = upper_.find(entry); pos != npos; pos = upper_.find(entry, pos + 1))
                if (!startsWord(text_[pos])) wordAt(pos);
        }
    }

    // Values of SRC attributes.
    void sourcePass() { attributePass("SRC", LinkRole::Other); }

    // What the page needs to display, from tags, style attributes and <style> blocks.
    void requisitePass() {
        ForEachRequisite(text_, tags(),
                         [&](std::size_t begin, std::size_t end) { offer(readable(begin, end), LinkRole::Requisite); });
    }

private:
    void attributePass(std::string_view name, LinkRole role) {
        ForEachAttributeValue(text_, upper_, {name}, [&](std::string_view, std::size_t begin, std::size_t end, bool) {
            // An empty value is offered too: it names the page's folder.
            offer(readable(begin, end), role);
        });
    }

    // A value as a browser reads it: in a tag's attribute, with its character
    // references decoded. Decoded values are kept for the sets of offered links.
    std::string_view readable(std::size_t begin, std::size_t end) {
        const std::string_view value = text_.substr(begin, end - begin);
        if (value.find('&') == npos || !tags().attributeAt(begin, end)) return value;
        return decoded_.emplace_back(DecodeCharacterReferences(value));
    }

    const MarkupTags& tags() {
        if (!tags_) tags_.emplace(text_);
        return *tags_;
    }

    // Each link text is admitted once per page and role: admitting it again
    // would only be refused by the work store.
    void offer(std::string_view link, LinkRole role) {
        if (offered_[static_cast<int>(role)].insert(link).second) admit(link, role);
    }

    void admit(std::string_view link, LinkRole role) {
        skipSilently([&] { admission_.HandleResult(baseUrl_, link, role); });
    }

    std::string_view baseUrl_;
    std::string_view text_;
    std::string upper_;  // the text with ASCII letters upper-cased, same positions
    LinkAdmission& admission_;
    // Views into the text: the link texts offered by role, and the bare host
    // names offered with "http://" in front.
    std::unordered_set<std::string_view> offered_[3], hostsOffered_;
    std::deque<std::string> decoded_;
    std::optional<MarkupTags> tags_;  // made when first needed
};

}  // namespace

void ParseResults(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
                  const OutputDrives& drives, LinkQueue& queue, bool arrivedWhole, std::string_view baseUrl,
                  std::int64_t modified) {
    if (baseUrl.empty()) baseUrl = pageUrl;
    // One admission for storing and searching, so that each link is classified once.
    LinkAdmission admission(settings, drives, queue);
    if (arrivedWhole && settings.checked(Field::chkStorePages))
        skipSilently([&] { StorePage(pageUrl, text, settings, drives, queue, baseUrl, &admission, modified); });

    LinkFinder finder(baseUrl, text, admission);
    skipSilently([&] { finder.anchorPass(); });
    skipSilently([&] { finder.bareHostPass(); });
    if (settings.checked(Field::chkScanExt)) skipSilently([&] { finder.extensionPasses(ExtensionEntries(settings)); });
    skipSilently([&] { finder.sourcePass(); });
    if (settings.checked(Field::chkPageRequisites)) skipSilently([&] { finder.requisitePass(); });
}

}  // namespace gleanery
