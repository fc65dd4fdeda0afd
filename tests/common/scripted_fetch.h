#pragma once
// Connections whose transfers the test controls: a transfer stays busy until
// the test completes it, or completes on the next event-loop turn with the
// answer the scripted site holds for its URL.
#include <QTimer>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "engine/fetch_object.h"

namespace gleanery::testing {

struct ScriptedAnswer {
    int code = 200;
    std::string body;
};

// The answers of a site by URL, and every transfer started, in order.
struct ScriptedSite {
    std::map<std::string, ScriptedAnswer> answers;
    bool autoComplete = true;
    bool multiplexed = false;          // the server speaks HTTP/2
    std::vector<std::string> started;  // URLs in start order
};

class ScriptedFetch final : public FetchObject {
public:
    explicit ScriptedFetch(ScriptedSite& site) : site_(site) {}

    void StartTransfer(const std::string& url, const std::string& localFile) override {
        busy_ = true;
        url_ = url;
        file_ = localFile;
        content_.clear();
        bytes_ = 0;
        code_ = 0;
        site_.started.push_back(url);
        if (site_.autoComplete) QTimer::singleShot(0, this, [this] { completeFromSite(); });
    }
    bool IsBusy() const override { return busy_; }
    void Finish() override {}
    std::string GetHeader(const std::string&) const override { return "HTTP/1.1 " + std::to_string(code_); }
    const std::string& Content() const override { return content_; }
    int ResultCode() const override { return code_; }
    std::int64_t BytesReceived() const override { return bytes_; }
    bool Multiplexed() const override { return site_.multiplexed; }

    // Ends the running transfer with this answer.
    void complete(int code, const std::string& body = {}) {
        code_ = code;
        bytes_ = std::int64_t(body.size());
        if (file_.empty()) {
            content_ = body;
        } else if (code >= 200 && code < 300) {
            std::ofstream(file_, std::ios::binary) << body;
        }
        busy_ = false;
        emit Complete();
    }
    void completeFromSite() {
        const auto it = site_.answers.find(url_);
        it == site_.answers.end() ? complete(404) : complete(it->second.code, it->second.body);
    }

private:
    ScriptedSite& site_;
    bool busy_ = false;
    std::string url_, file_, content_;
    std::int64_t bytes_ = 0;
    int code_ = 0;
};

}  // namespace gleanery::testing
