#include "OutputFile.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::uint64_t kWritebackChunk = 8 << 20;

// The temporary file a signal handler must remove: set while one exists.
char g_pendingTemporary[PATH_MAX];
volatile std::sig_atomic_t g_hasPendingTemporary = 0;

void removePendingAndReraise(int signal)
{
    if (g_hasPendingTemporary)
        ::unlink(g_pendingTemporary);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Publishes the name of a temporary file to the signal handler. Signals are
// blocked meanwhile, so the handler never sees half a path.
class PendingName
{
public:
    explicit PendingName(const std::string &name) : m_name(name)
    {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, &m_previous);
    }
    ~PendingName()
    {
        const int savedErrno = errno;
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
        errno = savedErrno;
    }
    // Call once the file exists under the name.
    const std::string &publish()
    {
        std::memcpy(g_pendingTemporary, m_name.c_str(), m_name.size() + 1);
        g_hasPendingTemporary = 1;
        return m_name;
    }

private:
    const std::string &m_name;
    sigset_t m_previous;
};

// What the last failed call left in errno, about path.
Problem systemProblem(const std::string &path)
{
    return {path, std::strerror(errno)};
}

// The name a file may have in folder: 255 bytes on nearly every file system.
std::size_t longestName(const std::string &folder)
{
    const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return longest > 0 ? std::size_t(longest) : NAME_MAX;
}

// ".NAME.jpeg2swf-XXXXXX" beside the output, NAME cut short (at a whole UTF-8
// character) where the whole would be longer than a name may be.
std::string hiddenPattern(const std::string &output)
{
    static constexpr std::string_view kSuffix = ".jpeg2swf-XXXXXX";
    const std::string folder = folderOf(output);
    std::string name = nameOf(output);
    const std::size_t longest = longestName(folder);
    const std::size_t room = longest > kSuffix.size() + 1 ? longest - 1 - kSuffix.size() : 1;
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    return folder + "/." + name + std::string(kSuffix);
}

// The file a symbolic link at path leads to, followed link by link, also when
// the last one leads to no file yet; path itself when it is no link.
Checked<std::string> followLinks(const std::string &path)
{
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat status {};
        if (::lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return target;
        std::string next(PATH_MAX, '\0');
        const ssize_t length = ::readlink(target.c_str(), next.data(), next.size());
        if (length <= 0 || std::size_t(length) >= next.size())
            return systemProblem(path);
        next.resize(std::size_t(length));
        target = next.starts_with('/') ? next : folderOf(target) + "/" + next;
    }
    errno = ELOOP;
    return systemProblem(path);
}

// Gives the new file the permission bits, owner and group of the output it
// replaces, as far as this user may; a new output gets the mode a new file
// would get.
Failure takeOverAttributes(int fd, const std::string &output)
{
    struct stat existing {};
    if (::stat(output.c_str(), &existing) == 0) {
        // The owner only root may give away; the group any of its members.
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0)
            (void)::fchown(fd, uid_t(-1), existing.st_gid);
        if (::fchmod(fd, existing.st_mode & 0777) != 0)
            return systemProblem(output);
        return std::nullopt;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0)
        return systemProblem(output);
    return std::nullopt;
}

// Names the unnamed file fd, to be renamed over output; returns the name.
Checked<std::string> linkUnnamedFile(int fd, const std::string &output)
{
    // Only the process holding the file can name it: through /proc, or (with
    // the capability to) by the descriptor itself.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = hiddenPattern(output);
        for (std::size_t i = name.size() - 6; i < name.size(); ++i)
            name[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[random() % 36];
        PendingName pending(name);
        int linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno != EEXIST)
            linked = ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
        if (linked == 0)
            return pending.publish();
        if (errno != EEXIST)
            return systemProblem(output);
    }
    return systemProblem(output);
}

} // namespace

void installCleanupOnSignals()
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        std::signal(signal, removePendingAndReraise);
}

Failure OutputFile::create(const std::string &output)
{
    // A symbolic link stays a link: the file it leads to gets the slide show.
    Checked<std::string> target = followLinks(output);
    if (!target)
        return target.problem();
    m_output = std::move(*target);
    // Both names are checked before any work: the unnamed file gets its
    // hidden name only at the end.
    errno = ENAMETOOLONG;
    if (nameOf(m_output).size() > longestName(folderOf(m_output)) || hiddenPattern(m_output).size() >= PATH_MAX
        || m_output.size() >= PATH_MAX)
        return systemProblem(output);
    m_buffer.reserve(kBufferSize);

    // A file without a name until it is complete: a killed run leaves nothing.
    m_fd = ::open(folderOf(m_output).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return systemProblem(output);
        // This file system has no unnamed files: a hidden named one instead.
        std::string name = hiddenPattern(m_output);
        {
            PendingName pending(name);
            m_fd = ::mkostemp(name.data(), O_CLOEXEC);
            if (m_fd >= 0)
                m_temporary = pending.publish();
        }
        if (m_fd < 0)
            return systemProblem(output);
    }
    return takeOverAttributes(m_fd, m_output);
}

void OutputFile::writeAll(const std::uint8_t *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            m_failure = systemProblem(m_output);
            return;
        }
        data += written;
        size -= std::size_t(written);
    }
}

void OutputFile::startWriteback()
{
    // Start writing what we have to disk while we go on, so the final fsync
    // has little left to wait for. Only a hint: errors show up at fsync.
    if (m_position - m_writebackStart >= kWritebackChunk) {
        ::sync_file_range(m_fd, off_t(m_writebackStart), off_t(m_position - m_writebackStart),
                          SYNC_FILE_RANGE_WRITE);
        m_writebackStart = m_position;
    }
}

void OutputFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes)
{
    if (m_failure)
        return;
    flushBuffer();
    if (m_failure)
        return;
    if (::pwrite(m_fd, bytes.data(), bytes.size(), off_t(offset)) != ssize_t(bytes.size()))
        m_failure = systemProblem(m_output);
}

Failure OutputFile::commit()
{
    if (!m_failure)
        flushBuffer();
    if (m_failure)
        return m_failure;
    if (::fsync(m_fd) != 0)
        return systemProblem(m_output);
    if (m_temporary.empty()) {
        Checked<std::string> name = linkUnnamedFile(m_fd, m_output);
        if (!name)
            return name.problem();
        m_temporary = std::move(*name);
    }
    if (::close(std::exchange(m_fd, -1)) != 0)
        return systemProblem(m_output);
    if (::rename(m_temporary.c_str(), m_output.c_str()) != 0)
        return systemProblem(m_output);
    g_hasPendingTemporary = 0;
    m_temporary.clear();
    // The rename itself must reach the disk too.
    const int folder = ::open(folderOf(m_output).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return std::nullopt;
}

void OutputFile::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporary.empty()) {
        g_hasPendingTemporary = 0;
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}
