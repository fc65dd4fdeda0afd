#include <gtest/gtest.h>

#include "links/url_utils.h"

namespace gleanery {
namespace {

struct ResolveCase {
    const char* base;
    const char* link;
    const char* out;
};

void expectResolved(const ResolveCase* begin, const ResolveCase* end) {
    for (auto c = begin; c != end; ++c)
        EXPECT_EQ(MakeRelativeURL(c->base, c->link), c->out) << c->base << " + " << c->link;
}

TEST(UrlRelative, ResolvesLinksAgainstThePageFolder) {
    const ResolveCase cases[] = {
        {"http://srv.dom.example/dir/page.htm", "../img/a.gif", "http://srv.dom.example/img/a.gif"},
        {"http://srv.dom.example/dir", "a.htm", "http://srv.dom.example/dir/a.htm"},
        {"http://srv.dom.example/a/b/c.htm", "..\\..\\x.htm", "http://srv.dom.example/x.htm"},
        // Climbing stops at the host root.
        {"http://srv.dom.example/a/b.htm", "../../../x.htm", "http://srv.dom.example/x.htm"},
        // The base's query names no folder.
        {"http://h.example/index.php?route=product/category", "image/a.jpg", "http://h.example/image/a.jpg"},
        {"http://h.example/dir?x=a.b", "a.htm", "http://h.example/dir/a.htm"},
        // An empty link names the page's folder.
        {"http://srv.dom.example/d/p.htm", "", "http://srv.dom.example/d/"},
        {"http://srv.dom.example/d/p.php?x=a/b", "", "http://srv.dom.example/d/"},
        // Other schemes are joined as relative links; admission filters them first.
        {"http://srv.dom.example/d/p.htm", "mailto:a@b.example", "http://srv.dom.example/d/mailto:a@b.example"},
    };
    expectResolved(std::begin(cases), std::end(cases));
}

TEST(UrlRelative, KeepsAbsoluteLinksAndJoinsRootRelativeOnesToTheHost) {
    const ResolveCase cases[] = {
        {"http://a.example/x.htm", "HTTPS://b.example/y.htm", "HTTPS://b.example/y.htm"},
        {"https://a.example/x.htm", "//cdn.example/y.js", "https://cdn.example/y.js"},
        {"HTTPS://srv.dom.example/a/b.htm", "/c.htm", "https://srv.dom.example/c.htm"},
        {"http://jo:pw@srv.dom.example/x", "/c.htm", "http://srv.dom.example/c.htm"},
        {"srv.dom.example/x.htm", "/c.htm", "srv.dom.example/c.htm"},
        // A host without a server part gets no leading dot.
        {"http://localhost:8080/", "/c.htm", "http://localhost:8080/c.htm"},
        // "\" does not make a link root-relative.
        {"http://dom.example/d/p.htm", "\\c.htm", "http://dom.example/d/\\c.htm"},
    };
    expectResolved(std::begin(cases), std::end(cases));
}

TEST(UrlRelative, HandlesFragmentsQueriesAndSchemes) {
    const ResolveCase cases[] = {
        // A fragment-only link names the page itself, a query-only link the
        // page with that query.
        {"http://srv.dom.example/d/p.php?x=1#a", "#top", "http://srv.dom.example/d/p.php?x=1"},
        {"http://h.example/list.php?page=1#a", "?page=2#b", "http://h.example/list.php?page=2"},
        {"http://h.example/dir/", "?p=2", "http://h.example/dir/?p=2"},
        {"http://srv.dom.example/d/p.htm", "http://o.example/q#sec", "http://o.example/q"},
        // A "/" or "." in the base's fragment changes nothing.
        {"http://srv.dom.example/d/p.htm#a/b", "q.htm", "http://srv.dom.example/d/q.htm"},
        {"http://srv.dom.example/d#x.y", "q.htm", "http://srv.dom.example/d/q.htm"},
        // Hosts that begin with "http" keep their scheme.
        {"https://http.example/", "../a.htm", "https://http.example/a.htm"},
    };
    expectResolved(std::begin(cases), std::end(cases));
}

}  // namespace
}  // namespace gleanery
