#include "platform/files.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

std::string directoryOf(const std::string &path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, const std::string &content) {
    const char *p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        ssize_t w = ::write(fd, p, left);
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0)
            return false;
        if (w == 0) {
            errno = EIO;
            return false;
        }
        p += w;
        left -= static_cast<std::size_t>(w);
    }
    return true;
}

// The rename must survive a crash as well as the data.
void syncDirectory(const std::string &dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool followLinks(const std::string &path, std::string &target) {
    std::string p = path;
    // As many hops as the kernel itself follows.
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat st;
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = p;
            return true;
        }
        std::vector<char> buf(PATH_MAX + 1);
        ssize_t n = ::readlink(p.c_str(), buf.data(), buf.size() - 1);
        if (n < 0)
            return false;
        std::string link(buf.data(), static_cast<std::size_t>(n));
        p = link[0] == '/' ? link : directoryOf(p) + "/" + link;
    }
    errno = ELOOP;
    return false;
}

bool writeFileAtomically(const std::string &path, const std::string &content, int *error) {
    auto fail = [&] {
        if (error)
            *error = errno;
        return false;
    };
    std::string target;
    if (!followLinks(path, target))
        return fail();
    std::string pattern = target + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        return fail();
    // mkstemp makes the file private: keep the old file's mode, or give the
    // mode a plain create would.
    struct stat old;
    mode_t mode;
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
    int saved = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && std::rename(name.data(), target.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        std::remove(name.data());
        errno = saved;
        return fail();
    }
    syncDirectory(directoryOf(target));
    return true;
}

} // namespace platform
