#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "FileStatus.h"

// A whole file mapped read-only into memory. Mapping instead of reading spares
// a copy of every picture that is embedded as it is.
class MappedFile
{
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(MappedFile &&other) noexcept;
    MappedFile &operator=(MappedFile &&other) noexcept;
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    // Opens a regular, non-empty file. On failure returns false and says why.
    // Reading it all soon: populate maps every page at once, far cheaper than a
    // page fault for each.
    enum class Use { Parts, Whole };
    bool open(const std::string &path, std::string &error, Use use = Use::Whole);

    std::span<const std::uint8_t> bytes() const { return {m_data, m_size}; }
    const FileStatus &status() const { return m_status; }

private:
    void release();

    const std::uint8_t *m_data = nullptr;
    std::size_t m_size = 0;
    FileStatus m_status;
};
