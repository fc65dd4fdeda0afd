#pragma once
// What a page needs to display, as a browser would fetch it: stylesheets,
// icons and preloads, scripts, pictures and their alternative sizes, video
// posters, image buttons, backgrounds, and the files that the page's own
// style attributes and <style> blocks name.

#include <cstddef>
#include <functional>
#include <string_view>

namespace gleanery {

class MarkupTags;
struct MarkupAttribute;

// True when the attribute's value is one address the page needs to display
// (<link rel=stylesheet href>, <img src>, <video poster>, ...).
bool IsRequisiteAttribute(const MarkupTags& tags, const MarkupAttribute& attribute);

// Calls visit(begin, end) for the address of every requisite of the page,
// in order of position: the values of requisite attributes, each candidate
// of a srcset, and the references of style attributes and <style> blocks.
void ForEachRequisite(std::string_view text, const MarkupTags& tags,
                      const std::function<void(std::size_t, std::size_t)>& visit);

}  // namespace gleanery
