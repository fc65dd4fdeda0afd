#pragma once
// The cookies of one job: every transfer sends and takes them through one
// curl share, and they are kept in a file in the Netscape format that
// browsers export and curl reads, so that a user can log in with a browser,
// export its cookies into that file and grab pages behind the login.

#include <curl/curl.h>

#include <string>

namespace gleanery {

class CookieJar {
public:
    // Reads the file when it exists.
    explicit CookieJar(std::string file);
    ~CookieJar();
    CookieJar(const CookieJar&) = delete;
    CookieJar& operator=(const CookieJar&) = delete;

    // Merges in what the file holds now (a user may have replaced it).
    void reload();
    // The transfer sends the jar's cookies and puts the ones it is given into it.
    void attach(CURL* easy);
    // Writes the jar to its file, readable and writable by its owner only.
    bool save();
    const std::string& file() const { return file_; }

private:
    std::string file_;
    CURLSH* share_;
    // The handle through which the file is read and written.
    CURL* keeper_;
};

}  // namespace gleanery
