#include "links/link_rewriting.h"

#include <algorithm>
#include <map>
#include <optional>

#include "links/attribute_values.h"
#include "links/character_references.h"
#include "links/extension_entries.h"
#include "links/local_link.h"
#include "links/markup_tags.h"
#include "links/page_requisites.h"
#include "links/url_utils.h"
#include "support/byte_set.h"
#include "support/failure.h"
#include "support/settings_view.h"
#include "support/text.h"

namespace gleanery {

namespace {

constexpr auto npos = std::string_view::npos;

// Words around an extension: what starts one ("?" and "&" put it in a
// query) and what ends one. Blanks of every kind separate words.
constexpr ByteSet kWordStart("\"'= <>()?&\t\n\r\f\v");
constexpr ByteSet kWordEnd("\"' ><()\t\n\r\f\v");

// Position of the next "." + extension at or after from, ignoring case.
std::size_t findExtension(std::string_view text, std::string_view extension, std::size_t from) {
    for (auto dot = text.find('.', from); dot != npos; dot = text.find('.', dot + 1))
        if (startsWithNoCase(text.substr(dot + 1), extension)) return dot;
    return npos;
}

class PageRewriter {
public:
    PageRewriter(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
                 const OutputDrives& drives, LinkQueue& queue, std::string_view baseUrl, LinkAdmission* admission)
        : text_(text),
          tags_(text),
          links_(pageUrl, settings, drives, queue, baseUrl, admission),
          requisites_(settings.checked(Field::chkPageRequisites)) {}

    void attributePass() {
        ForEachAttributeValue(
            text_, asciiUpper(text_), {"HREF", "SRC", "ACTION"},
            [&](std::string_view name, std::size_t begin, std::size_t end, bool quoted) {
                if (begin == end) return;
                const MarkupAttribute* attribute = tags_.attributeAt(begin, end);
                const bool inMarkup = attribute && equalsNoCase(attribute->name, name);
                // Outside a tag, an address is a quoted string; "href = next;" in
                // a script is an expression.
                if (!inMarkup && !quoted) return;
                LinkRole role = name == "HREF" ? LinkRole::Anchor : name == "SRC" ? LinkRole::Other : LinkRole::Form;
                if (requisites_ && inMarkup && IsRequisiteAttribute(tags_, *attribute)) role = LinkRole::Requisite;
                decide(begin, end, role, inMarkup);
            });
    }

    void requisitePass() {
        if (!requisites_) return;
        ForEachRequisite(text_, tags_, [&](std::size_t begin, std::size_t end) {
            if (!claimed(begin, end)) decide(begin, end, LinkRole::Requisite, true);
        });
    }

    // The words around each occurrence of an extension. inQuery carries over
    // from one occurrence to the next, across extensions: a word with no
    // start delimiter before it keeps the previous word's answer.
    void extensionPass(std::string_view extension) {
        std::size_t wordEnd = 0;
        for (auto dot = findExtension(text_, extension, 0); dot != npos;
             dot = findExtension(text_, extension, wordEnd)) {
            const std::size_t start = kWordStart.lastIn(text_, wordEnd, dot);
            if (start != npos) inQuery_ = text_[start] == '?' || text_[start] == '&';
            const std::size_t begin = start == npos ? wordEnd : start + 1;
            wordEnd = std::max(kWordEnd.firstIn(text_, dot), dot + 1);
            if (!inQuery_ && begin < wordEnd && !claimed(begin, wordEnd) && writtenAsUrl(begin, wordEnd))
                decide(begin, wordEnd, LinkRole::Other, false);
        }
    }

    std::vector<LinkEdit> edits() && {
        std::sort(edits_.begin(), edits_.end(), [](const LinkEdit& a, const LinkEdit& b) { return a.begin < b.begin; });
        return std::move(edits_);
    }

private:
    void decide(std::size_t begin, std::size_t end, LinkRole role, bool inMarkup) {
        static constexpr Routine trap{"frmGeneralRobot", "ConvertLocal"};
        claims_.emplace(begin, end);
        std::string_view link = text_.substr(begin, end - begin);
        // A tag's attribute names what a browser reads there.
        std::string decoded;
        if (link.find('&') != npos && tags_.attributeAt(begin, end)) link = decoded = DecodeCharacterReferences(link);
        std::optional<std::string> text;
        trap([&] { text = links_.replacement(link, role, inMarkup); });
        if (text) edits_.push_back({begin, end, std::move(*text)});
    }

    // A word holding bytes that cannot stand in a URL ("^/(/|/x.cgi)?$" in a
    // rewrite rule) is no address in running text or a script.
    bool writtenAsUrl(std::size_t begin, std::size_t end) const {
        const std::string_view word = text_.substr(begin, end - begin);
        return URLEncode(word) == word;
    }

    // Whether a link already decided overlaps [begin, end). Claims are
    // disjoint, so only the last one beginning before end can.
    bool claimed(std::size_t begin, std::size_t end) const {
        auto it = claims_.lower_bound(end);
        return it != claims_.begin() && (--it)->second > begin;
    }

    std::string_view text_;
    MarkupTags tags_;
    LocalLinks links_;
    bool requisites_;
    bool inQuery_ = false;
    std::map<std::size_t, std::size_t> claims_;  // begin -> end of each decided link
    std::vector<LinkEdit> edits_;
};

}  // namespace

std::vector<LinkEdit> LocalLinkEdits(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
                                     const OutputDrives& drives, LinkQueue& queue, std::string_view baseUrl,
                                     LinkAdmission* admission) {
    PageRewriter page(pageUrl, text, settings, drives, queue, baseUrl, admission);
    page.attributePass();
    page.requisitePass();
    for (const std::string& extension : ExtensionEntries(settings)) page.extensionPass(extension);
    return std::move(page).edits();
}

std::string ConvertLocal(std::string_view pageUrl, std::string_view text, const SettingsView& settings,
                         const OutputDrives& drives, LinkQueue& queue, std::string_view baseUrl,
                         LinkAdmission* admission) {
    return ApplyEdits(text, LocalLinkEdits(pageUrl, text, settings, drives, queue, baseUrl, admission));
}

}  // namespace gleanery
