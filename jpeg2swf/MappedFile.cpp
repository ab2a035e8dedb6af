#include "MappedFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

MappedFile::~MappedFile()
{
    release();
}

MappedFile::MappedFile(MappedFile &&other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
      m_status(other.m_status)
{
}

MappedFile &MappedFile::operator=(MappedFile &&other) noexcept
{
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_status = other.m_status;
    }
    return *this;
}

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
    // Without blocking: opening a pipe would wait for a writer before its type
    // is ever checked. A regular file reads the same either way.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = false;
    if (fstat(fd, &m_status) != 0) {
        error = std::strerror(errno);
    } else if (S_ISDIR(m_status.st_mode)) {
        error = "is a folder, not a picture";
    } else if (!S_ISREG(m_status.st_mode)) {
        error = "not a regular file";
    } else if (m_status.st_size == 0) {
        error = "empty file";
    } else {
        void *data = mmap(nullptr, std::size_t(m_status.st_size), PROT_READ,
                           MAP_PRIVATE | (use == Use::Whole ? MAP_POPULATE : 0), fd, 0);
        if (data == MAP_FAILED) {
            error = std::strerror(errno);
        } else {
            m_data = static_cast<const std::uint8_t *>(data);
            m_size = std::size_t(m_status.st_size);
            ok = true;
        }
    }
    ::close(fd);
    return ok;
}
