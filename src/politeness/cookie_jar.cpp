#include "politeness/cookie_jar.h"

#include <sys/stat.h>

#include <utility>

namespace gleanery {

CookieJar::CookieJar(std::string file) : file_(std::move(file)), share_(curl_share_init()), keeper_(curl_easy_init()) {
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_easy_setopt(keeper_, CURLOPT_SHARE, share_);
    curl_easy_setopt(keeper_, CURLOPT_COOKIEFILE, file_.c_str());
    curl_easy_setopt(keeper_, CURLOPT_COOKIEJAR, file_.c_str());
    reload();
}

CookieJar::~CookieJar() {
    // Without a jar file the keeper writes nothing when it goes.
    curl_easy_setopt(keeper_, CURLOPT_COOKIEJAR, nullptr);
    curl_easy_cleanup(keeper_);
    curl_share_cleanup(share_);
}

void CookieJar::reload() { curl_easy_setopt(keeper_, CURLOPT_COOKIELIST, "RELOAD"); }

void CookieJar::attach(CURL* easy) {
    curl_easy_setopt(easy, CURLOPT_SHARE, share_);
    // An empty name switches the cookie engine on without reading a file.
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
}

bool CookieJar::save() {
    curl_easy_setopt(keeper_, CURLOPT_COOKIELIST, "FLUSH");
    // curl writes a new file with the default permissions; cookies may log a
    // user in, so nobody else may read them.
    return ::chmod(file_.c_str(), S_IRUSR | S_IWUSR) == 0;
}

}  // namespace gleanery
