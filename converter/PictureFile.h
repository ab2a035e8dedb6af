#pragma once

#include "FileStatus.h"
#include "Problem.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

// A whole picture file read into memory. Read, not mapped: a mapped file that
// another program cuts short kills its reader (SIGBUS on Linux, an exception
// on Windows), while a read only comes up short, and what has been read stays
// as it was.
class PictureFile
{
public:
    // Reads a regular, non-empty file: its first `head` bytes, and when that
    // is not all of it, its last two bytes apart. A pipe or a device is refused
    // without waiting for it. Fails with the reason, also when the file
    // changed while it was being read.
    Failure read(const std::string &path, std::size_t head = SIZE_MAX);

    std::span<const std::uint8_t> bytes() const { return {m_data.get(), m_size}; }
    bool whole() const { return m_size == m_status.size; }
    std::span<const std::uint8_t, 2> lastBytes() const { return m_last; }
    const FileStatus &status() const { return m_status; }

private:
    // Memory of its own, outside the heap, so it goes back to the system when
    // freed; a few blocks are kept for the pictures that follow.
    struct Release {
        std::size_t capacity;
        void operator()(std::uint8_t *data) const;
    };
    static std::unique_ptr<std::uint8_t[], Release> memoryFor(std::size_t size);

    std::unique_ptr<std::uint8_t[], Release> m_data{nullptr, Release{0}};
    std::size_t m_size = 0;
    std::array<std::uint8_t, 2> m_last {};
    FileStatus m_status;
};

// The system's part (PictureFile_posix.cpp, PictureFile_windows.cpp): memory
// outside the heap, its pages made at once; nullptr when there is none.
std::uint8_t *systemMemory(std::size_t size);
void releaseSystemMemory(std::uint8_t *data, std::size_t size);
