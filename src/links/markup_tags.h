#pragma once
// The start tags of a page and their attributes, found in one forward walk.
// Links are still found by plain text search; this only tells what a place
// in the page is: the value of which attribute of which tag, or the inside
// of a <style> block. Comments, end tags and the raw text of <script> and
// <style> elements hold no tags, as a browser reads them.

#include <cstddef>
#include <string_view>
#include <vector>

namespace gleanery {

struct MarkupAttribute {
    std::size_t tag;  // index into MarkupTags::tags()
    std::string_view name;
    // The value without its quotes; begin == end for an empty or missing one.
    std::size_t valueBegin, valueEnd;
};

struct MarkupTag {
    std::string_view name;
    std::size_t firstAttribute, attributeCount;
};

// A stretch of the page: the text of a <style> element.
struct TextSpan {
    std::size_t begin, end;
};

class MarkupTags {
public:
    // Takes time linear in the size of the text, which must outlive this object.
    explicit MarkupTags(std::string_view text);

    const std::vector<MarkupTag>& tags() const { return tags_; }
    const std::vector<MarkupAttribute>& attributes() const { return attributes_; }
    const std::vector<TextSpan>& styleBlocks() const { return styleBlocks_; }

    // The attribute whose value holds the text at [begin, end), or nullptr
    // when that text is no attribute value of a tag.
    const MarkupAttribute* attributeAt(std::size_t begin, std::size_t end) const;
    // An attribute of the tag by name, ignoring case, or nullptr.
    const MarkupAttribute* find(const MarkupTag& tag, std::string_view name) const;
    std::string_view value(const MarkupAttribute& attribute) const;

private:
    std::size_t startTag(std::size_t at);

    std::string_view text_;
    std::vector<MarkupTag> tags_;
    std::vector<MarkupAttribute> attributes_;  // in the order of their values
    std::vector<TextSpan> styleBlocks_;
};

}  // namespace gleanery
