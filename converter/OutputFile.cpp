#include "OutputFile.h"

OutputFile::~OutputFile()
{
    discard();
}

void OutputFile::flushBuffer()
{
    writeAll(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
}

void OutputFile::write(std::span<const std::uint8_t> bytes)
{
    if (m_failure)
        return;
    m_position += bytes.size();
    if (m_buffer.size() + bytes.size() <= kBufferSize) {
        m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
        return;
    }
    flushBuffer();
    if (m_failure)
        return;
    if (bytes.size() >= kBufferSize / 4)
        writeAll(bytes.data(), bytes.size());
    else
        m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    startWriteback();
}
