#include "MappedFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

void MappedFile::release()
{
    if (m_data)
        munmap(const_cast<std::uint8_t *>(m_data), m_size);
    m_data = nullptr;
    m_size = 0;
}

bool MappedFile::open(const std::string &path, std::string &error, Use use)
{
    release();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = false;
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        error = std::strerror(errno);
    } else if (S_ISDIR(status.st_mode)) {
        error = "is a folder, not a picture";
    } else if (!S_ISREG(status.st_mode)) {
        error = "not a regular file";
    } else if (status.st_size == 0) {
        error = "empty file";
    } else {
        void *data = mmap(nullptr, std::size_t(status.st_size), PROT_READ,
                           MAP_PRIVATE | (use == Use::Whole ? MAP_POPULATE : 0), fd, 0);
        if (data == MAP_FAILED) {
            error = std::strerror(errno);
        } else {
            m_data = static_cast<const std::uint8_t *>(data);
            m_size = std::size_t(status.st_size);
            m_status = {FileKind::Regular, std::uint64_t(status.st_size),
                        {std::uint64_t(status.st_dev), std::uint64_t(status.st_ino)}};
            ok = true;
        }
    }
    ::close(fd);
    return ok;
}
