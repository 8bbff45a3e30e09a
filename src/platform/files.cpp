#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

bool writeFileAtomically(const std::string &path, const std::string &content) {
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        return false;
    // mkstemp makes the file private; give it the mode a plain create would.
    mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = ::fchmod(fd, 0666 & ~mask) == 0;
    const char *p = content.data();
    std::size_t left = content.size();
    while (ok && left > 0) {
        ssize_t w = ::write(fd, p, left);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            ok = false;
            break;
        }
        p += w;
        left -= static_cast<std::size_t>(w);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(name.data(), path.c_str()) == 0;
    if (!ok)
        std::remove(name.data());
    return ok;
}

} // namespace platform
