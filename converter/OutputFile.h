#pragma once

// The slide show (a SWF file or a web page) is written to an unnamed file in
// the output's folder (Linux); once it is complete and on disk it gets a
// hidden temporary name and is renamed over the output. A run that ends
// before has nothing to leave behind.
// Where the file system has no unnamed files, and on Windows, it is a hidden
// named file from the start: a failed run removes it, a run ended by a signal
// (Ctrl+C) removes it in the handler, and only SIGKILL or a power cut leave
// it, under a name no one takes for the output. That name is the output's,
// cut short where it would be too long for the file system. On Windows the
// finished file replaces an existing output in place, which keeps that file's
// access rules, and is renamed only where that cannot be done.
//
// On Linux a symbolic link as the output is followed (also to a file not there
// yet) and stays a link, and the new file takes over the permission bits,
// owner and group of the file it replaces, as far as this user may.
//
// The first write that fails is remembered and every later one does nothing,
// so a writer goes on without checking each write and asks once, with
// failure(); commit() reports it too, and the file never takes the output's
// place.

#include "Problem.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class OutputFile
{
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Creates the file the slide show is written to, in output's folder.
    // Fails also for a name the file system would refuse at the end.
    Failure create(const std::string &output);

    void write(std::span<const std::uint8_t> bytes);
    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    std::uint64_t position() const { return m_position; }
    // The first write that failed, with the output's path and the reason.
    const Failure &failure() const { return m_failure; }

    // Flushes, syncs, names the file and puts it in the output's place.
    Failure commit();

private:
    static constexpr std::size_t kBufferSize = 1 << 20;

    void flushBuffer();
    void startWriteback();
    void writeAll(const std::uint8_t *data, std::size_t size);
    void discard();

    int m_fd = -1;                         // a C runtime descriptor on Windows too
    std::string m_output;
    std::string m_temporary;               // empty while the file has no name
    std::vector<std::uint8_t> m_buffer;
    std::uint64_t m_position = 0;          // bytes written, buffer included
    std::uint64_t m_writebackStart = 0;    // first byte not yet sent to disk
    Failure m_failure;                     // set once; later writes do nothing
};

// Removes the temporary file of the running conversion when the process is
// ended by SIGINT, SIGTERM, SIGHUP or SIGPIPE (on Windows: Ctrl+C, Ctrl+Break,
// closing the console, logoff or shutdown).
void installCleanupOnSignals();
