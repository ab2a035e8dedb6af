#include "PageWriter.h"

#include "FileStatus.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

namespace {

// Shows picture after picture against one start time, so late timers never add
// up to drift. Only the shown picture and the next are images; the others stay
// base64 text until their turn, and a picture's blob URL is revoked once it has
// been shown.
constexpr std::string_view kPlayer = R"js(
const stage = document.getElementById('stage');
const images = new Map();
function attach(index) {
  if (images.has(index)) return images.get(index);
  const data = document.getElementById('p' + index);
  if (!data) return null;
  const text = atob(data.textContent);
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
  const image = new Image();
  image.alt = '';
  image.style.cssText = data.dataset.style;
  image.style.visibility = 'hidden';
  image.src = URL.createObjectURL(new Blob([bytes], {type: 'image/jpeg'}));
  image.decode().catch(() => {});
  stage.append(image);
  images.set(index, image);
  return image;
}
let current = -1;
function show(index) {
  const image = attach(index);
  if (!image) return false;
  image.style.visibility = 'visible';
  for (const [other, shown] of images) {
    if (other === index) continue;
    URL.revokeObjectURL(shown.src);
    shown.remove();
    images.delete(other);
  }
  current = index;
  if (loop || index + 1 < count) attach((index + 1) % count);
  return true;
}
const start = performance.now();
function tick() {
  const step = Math.floor((performance.now() - start) / delay);
  const index = loop ? step % count : Math.min(step, count - 1);
  if (index !== current && !show(index)) {
    setTimeout(tick, 20);   // the page is still loading that picture
    return;
  }
  if (!loop && step >= count - 1) return;
  setTimeout(tick, Math.min(start + (step + 1) * delay - performance.now(), 2 ** 30));
}
tick();
)js";

class Base64Writer
{
public:
    explicit Base64Writer(OutputFile &file) : m_file(file) {}

    void write(std::span<const std::uint8_t> bytes)
    {
        for (std::uint8_t byte : bytes) {
            m_group[m_grouped++] = byte;
            if (m_grouped == 3) {
                encodeGroup();
                if (m_text.size() >= kChunk)
                    flush();
            }
        }
    }

    void finish()
    {
        if (m_grouped > 0)
            encodeGroup();
        flush();
    }

private:
    // Encodes the bytes grouped so far (1 to 3), padded with '='.
    void encodeGroup()
    {
        static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::fill(m_group.begin() + std::ptrdiff_t(m_grouped), m_group.end(), 0);
        const std::uint32_t bits = m_group[0] << 16 | m_group[1] << 8 | m_group[2];
        for (std::size_t digit = 0; digit < 4; ++digit)
            m_text.push_back(digit <= m_grouped ? std::uint8_t(kDigits[bits >> (18 - 6 * digit) & 63]) : '=');
        m_grouped = 0;
    }

    void flush()
    {
        m_file.write(m_text);
        m_text.clear();
    }

    static constexpr std::size_t kChunk = 64 * 1024;
    OutputFile &m_file;
    std::array<std::uint8_t, 3> m_group{};
    std::size_t m_grouped = 0;
    Bytes m_text;
};

std::string escapeHtml(std::string_view text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#39;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string format(const char *pattern, auto... values)
{
    char text[256];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

// The stored bitmap's box, in stage percentages so that it scales with the
// stage, centred and turned upright by the same orientation table as the SWF.
std::string imageStyle(const PicturePlan &plan, Size stage)
{
    const Size stored = plan.stored();
    const swf::Matrix turn = orientationMatrix(plan.info.orientation(), stored);
    const auto unit = [](std::int32_t value) { return value / (swf::kTwipsPerPixel << 16); };
    return format("width:%.4f%%;height:%.4f%%;transform:translate(-50%%,-50%%) matrix(%d,%d,%d,%d,0,0)",
                  100.0 * stored.width / stage.width, 100.0 * stored.height / stage.height, unit(turn.scaleX),
                  unit(turn.rotateSkew0), unit(turn.rotateSkew1), unit(turn.scaleY));
}

} // namespace

bool isPageName(std::string_view output)
{
    std::string lower(output.substr(output.size() - std::min<std::size_t>(output.size(), 5)));
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower.ends_with(".html") || lower.ends_with(".htm");
}

std::string pageTitle(const std::string &path)
{
    std::string name = path.substr(path.find_last_of(kPathSeparators) + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

PageWriter::PageWriter(OutputFile &file, PageSettings settings) : m_file(file), m_settings(std::move(settings))
{
    const Size stage = m_settings.stage;
    put("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; img-src blob:; "
        "style-src 'unsafe-inline'; script-src 'unsafe-inline'\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>");
    put(escapeHtml(m_settings.title));
    put("</title>\n<style>\n"
        "html, body { margin: 0; height: 100%; background: #000; overflow: hidden; }\n"
        "body { display: grid; place-items: center; }\n");
    put(format("#stage { position: relative; overflow: hidden; aspect-ratio: %d / %d;"
               " width: min(%dpx, 100vw, 100vh * %d / %d); }\n",
               stage.width, stage.height, stage.width, stage.width, stage.height));
    put("#stage img { position: absolute; left: 50%; top: 50%; image-orientation: none; }\n"
        "</style></head>\n<body><div id=\"stage\"></div>\n");
}

void PageWriter::addPicture(const PicturePlan &plan, const PreparedPicture &picture)
{
    put(format("<script type=\"application/octet-stream\" id=\"p%zu\" data-style=\"", m_count));
    put(imageStyle(plan, m_settings.stage));
    put("\">");
    Base64Writer text(m_file);
    picture.writeTo([&text](std::span<const std::uint8_t> bytes) { text.write(bytes); });
    text.finish();
    put("</script>\n");
    // The player starts as soon as the first two pictures are parsed, the one
    // shown and the one prepared next, while a long page is still loading.
    if (++m_count == std::min<std::size_t>(2, m_settings.pictures)) {
        put(format("<script>\nconst count = %zu, delay = %.17g, loop = %s;", m_settings.pictures,
                   m_settings.delay * 1000.0, m_settings.loop ? "true" : "false"));
        put(kPlayer);
        put("</script>\n");
    }
}

void PageWriter::finish()
{
    put("</body></html>\n");
}

void PageWriter::put(std::string_view text)
{
    m_file.write(std::span(reinterpret_cast<const std::uint8_t *>(text.data()), text.size()));
}
