#include "compat/processes.h"

#include <algorithm>
#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "support/text.h"

namespace gleanery::ModProcesses {

namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::uint32_t> processIds(const std::string& procRoot) {
    std::vector<std::uint32_t> ids;
    std::error_code ec;
    for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.size() > 9 ||
            !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        ids.push_back(static_cast<std::uint32_t>(std::stoul(name)));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

// Only this user's processes are ever ended: another user's program of the
// same name is none of ours.
bool ownedByThisUser(const fs::path& dir) {
    struct stat info {};
    return ::stat(dir.c_str(), &info) == 0 && info.st_uid == ::getuid();
}

// A zombie has ended already; only its entry is left for its parent to collect.
bool isZombie(const fs::path& dir) {
    const std::string stat = contentOf(dir / "stat");
    const auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z';
}

// The executable's file name from its link; where that cannot be read (a
// process of another user), the program name it was started with and its
// short command name.
std::vector<std::string> executableNames(const fs::path& dir) {
    std::error_code ec;
    std::string exe = fs::read_symlink(dir / "exe", ec).string();
    if (!ec) {
        constexpr std::string_view deleted = " (deleted)";  // the file was replaced while it ran
        if (exe.ends_with(deleted)) exe.resize(exe.size() - deleted.size());
        return {FileNamePart(exe)};
    }
    const std::string cmdline = contentOf(dir / "cmdline");
    std::string comm = contentOf(dir / "comm");
    if (comm.ends_with('\n')) comm.pop_back();
    return {FileNamePart(cmdline.substr(0, cmdline.find('\0'))), comm};
}

}  // namespace

bool CheckProcessApis(Messages& messages, const std::string& procRoot) {
    std::error_code ec;
    fs::directory_iterator probe(procRoot, ec);
    if (!ec) return true;
    messages.inform("No libraries to enumerate processes could be found", kAppTitle);
    return false;
}

std::uint32_t FindProcessId(const std::string& sExeName, Messages& messages, const std::string& procRoot) {
    if (!CheckProcessApis(messages, procRoot)) return 0;
    const auto self = static_cast<std::uint32_t>(::getpid());
    for (const std::uint32_t id : processIds(procRoot)) {
        const fs::path dir = fs::path(procRoot) / std::to_string(id);
        if (id == self || !ownedByThisUser(dir) || isZombie(dir)) continue;
        for (const auto& name : executableNames(dir))
            if (!name.empty() && equalsNoCase(name, sExeName)) return id;
    }
    return 0;
}

void KillProcess(std::uint32_t processId) {
    // 0 and numbers beyond the range of process identifiers would signal
    // whole process groups.
    if (processId == 0 || processId > static_cast<std::uint32_t>(INT_MAX)) return;
    ::kill(static_cast<pid_t>(processId), SIGTERM);
}

std::string FileNamePart(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace gleanery::ModProcesses
