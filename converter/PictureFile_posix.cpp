#include "PictureFile.h"

#include "FileStatus_posix.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Fails with the reason alone: read() names the file.
Failure readAll(int fd, std::uint8_t *data, std::size_t size, off_t from = 0)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, data + done, size - done, from + off_t(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Problem{.reason = std::strerror(errno)};
        if (got == 0)
            return Problem{.reason = "the file was cut short while it was being read"};
        done += std::size_t(got);
    }
    return std::nullopt;
}

} // namespace

std::uint8_t *systemMemory(std::size_t size)
{
    // Its pages made at once, far cheaper than a fault each.
    void *data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return data == MAP_FAILED ? nullptr : static_cast<std::uint8_t *>(data);
}

void releaseSystemMemory(std::uint8_t *data, std::size_t size)
{
    ::munmap(data, size);
}

Failure PictureFile::read(const std::string &path, std::size_t head)
{
    m_data.reset();
    m_size = 0;
    // Without blocking: opening a pipe would wait for a writer before its type
    // is ever checked. A regular file reads the same either way.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Problem{path, std::strerror(errno)};
    Failure failure;
    struct stat before {}, after {};
    if (fstat(fd, &before) != 0) {
        failure = Problem{.reason = std::strerror(errno)};
    } else if (m_status = fileStatusOf(before); const char *why = whyNotAPicture(m_status)) {
        failure = Problem{.reason = why};
    } else {
        const auto total = std::size_t(m_status.size);
        const std::size_t size = std::min(total, head);
        m_data = memoryFor(size);
        if (!m_data) {
            ::close(fd);
            return Problem{path, "not enough memory to read it"};
        }
        failure = readAll(fd, m_data.get(), size);
        if (!failure && size != total)
            failure = readAll(fd, m_last.data(), 2, off_t(total - 2));
        if (!failure && fstat(fd, &after) != 0)
            failure = Problem{.reason = std::strerror(errno)};
        else if (!failure && !sameFileVersion(m_status, fileStatusOf(after)))
            failure = Problem{.reason = "the file changed while it was being read"};
    }
    ::close(fd);
    if (failure) {
        m_data.reset();
        return failure->in(path);
    }
    m_size = std::min(std::size_t(m_status.size), head);
    return std::nullopt;
}
