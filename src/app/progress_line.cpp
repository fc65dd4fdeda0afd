#include "app/progress_line.h"

#include <cstdio>

#include "engine/scan_controller.h"

namespace gleanery {

namespace {
constexpr int kTerminalRedrawMs = 250;
constexpr int kPlainLineMs = 5000;

std::string bytes(double n) {
    const char* units[] = {"B", "kB", "MB", "GB", "TB"};
    int u = 0;
    while (n >= 1000 && u < 4) {
        n /= 1000;
        ++u;
    }
    char out[32];
    std::snprintf(out, sizeof out, u == 0 ? "%.0f %s" : "%.1f %s", n, units[u]);
    return out;
}
}  // namespace

ProgressLine::ProgressLine(const ScanController& scan, bool terminal, QObject* parent)
    : QObject(parent), scan_(scan), terminal_(terminal) {
    clock_.start();
    timer_.setInterval(terminal ? kTerminalRedrawMs : kPlainLineMs);
    connect(&timer_, &QTimer::timeout, this, &ProgressLine::draw);
    timer_.start();
}

std::string ProgressLine::format(const RunProgress& p, std::int64_t queued, double seconds) {
    const double speed = seconds > 0 ? static_cast<double>(p.bytesReceived) / seconds : 0;
    std::string line = "Pages " + std::to_string(p.pagesScanned) + ", " + std::to_string(p.pagesFailed) +
                       " failed | Files " + std::to_string(p.filesDownloaded) + ", " + std::to_string(p.filesFailed) +
                       " failed | In queue " + std::to_string(queued) + " | " + bytes(double(p.bytesReceived)) + " | " +
                       bytes(speed) + "/s";
    // A refresh tells what it found.
    if (p.unchanged + p.changed > 0)
        line += " | Unchanged " + std::to_string(p.unchanged) + ", changed " + std::to_string(p.changed) + ", new " +
                std::to_string(p.added);
    return line;
}

void ProgressLine::draw() {
    if (scan_.state() == ScanState::Idle) return;
    const std::string line = format(scan_.progress(), scan_.statistics().queued, double(clock_.elapsed()) / 1000.0);
    if (terminal_) {
        std::fprintf(stderr, "\r\033[K%s", line.c_str());
        drawn_ = true;
    } else {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    std::fflush(stderr);
}

void ProgressLine::breakLine() {
    if (!drawn_) return;
    std::fprintf(stderr, "\r\033[K");
    drawn_ = false;
}

}  // namespace gleanery
