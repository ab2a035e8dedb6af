// Preloaded into the converter (LD_PRELOAD) to stand for a file system without
// unnamed files: opening with O_TMPFILE fails as it does there.
#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>

namespace {

template <typename Open>
int openUnlessUnnamed(const char *symbol, const char *path, int flags, va_list rest)
{
    if ((flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const mode_t mode = (flags & O_CREAT) ? mode_t(va_arg(rest, int)) : 0;
    return reinterpret_cast<Open>(dlsym(RTLD_NEXT, symbol))(path, flags, mode);
}

} // namespace

extern "C" int open(const char *path, int flags, ...)
{
    va_list rest;
    va_start(rest, flags);
    const int fd = openUnlessUnnamed<int (*)(const char *, int, ...)>("open", path, flags, rest);
    va_end(rest);
    return fd;
}

extern "C" int open64(const char *path, int flags, ...)
{
    va_list rest;
    va_start(rest, flags);
    const int fd = openUnlessUnnamed<int (*)(const char *, int, ...)>("open64", path, flags, rest);
    va_end(rest);
    return fd;
}
