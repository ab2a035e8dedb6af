#include "Progress.h"

#include "ProgressVariable.h"

#include <cstdio>
#include <cstdlib>
#include <string>

Progress::Progress(std::size_t total, bool quiet)
    : m_total(total), m_work(total * (1 + kWriteWork)), m_channel(progressChannel()),
      m_terminal(!quiet && errorsOnTerminal())
{
}

void Progress::counted()
{
    report(0);
}

void Progress::checked(std::size_t done)
{
    report(done);
}

void Progress::written(std::size_t done)
{
    if (done >= m_total)
        return;
    report(m_total + done * kWriteWork);
    showLine(done);
}

void Progress::finished()
{
    report(m_work);
    showLine(m_total);
    endLine();
}

void Progress::endLine()
{
    if (m_lineOpen)
        std::fputs("\n", stderr);
    m_lineOpen = false;
}

void Progress::report(std::size_t work)
{
    if (m_channel < 0)
        return;
    if (!sendProgress(m_channel, std::to_string(work) + ' ' + std::to_string(m_work) + '\n'))
        m_channel = -1;
}

void Progress::showLine(std::size_t done)
{
    if (!m_terminal)
        return;
    const std::size_t share = m_total ? done * 100 / m_total : 100;
    const std::string count = std::to_string(done) + '/' + std::to_string(m_total);
    const std::string percent = " (" + std::to_string(share) + "%)";
    std::string line = "jpeg2swf: " + count + " pictures" + percent;
    // A line as wide as the terminal wraps, and each update would start a new row.
    if (const std::size_t width = terminalWidth(); width > 0 && line.size() >= width) {
        line = count + percent;
        if (line.size() >= width)
            line.resize(width - 1);
    }
    std::fputs(('\r' + line).c_str(), stderr);
    m_lineOpen = true;
}

int progressChannelNumber()
{
    const char *text = std::getenv(kProgressVariable);
    if (!text || !*text)
        return -1;
    const std::string digits = text;
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::atoi(text);
}
