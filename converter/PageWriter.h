#pragma once

// The slide show as one self-contained web page that a browser plays from
// disk: each prepared JPEG is a base64 text element, turned into an image only
// shortly before it is shown, and a small script shows them against the clock.

#include "OutputFile.h"
#include "SlideShowWriter.h"

#include <string>
#include <string_view>

// An output named *.html or *.htm, in any letter case, is a web page.
bool isPageName(std::string_view output);

struct PageSettings {
    Size stage;
    double delay = 0;            // seconds each picture is shown
    double fade = 0;             // seconds of a crossfade into the next; 0: a cut
    std::size_t pictures = 0;
    bool loop = true;
    std::string title;           // plain text; escaped when written
};

class PageWriter final : public SlideShowWriter
{
public:
    PageWriter(OutputFile &file, PageSettings settings);
    Failure addPicture(const PicturePlan &plan, const PreparedPicture &picture) override;
    Failure finish() override;

private:
    void put(std::string_view text);

    OutputFile &m_file;
    PageSettings m_settings;
    std::size_t m_count = 0;
};

// The title of a page written to path: its file name without the extension.
std::string pageTitle(const std::string &path);
