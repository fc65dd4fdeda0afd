#include "support/file_time.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace gleanery {

std::int64_t ModifiedTime(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? std::int64_t(info.st_mtim.tv_sec) : -1;
}

bool SetModifiedTime(const std::string& path, std::int64_t seconds) {
    const timespec times[2] = {{0, UTIME_OMIT}, {time_t(seconds), 0}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

}  // namespace gleanery
