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
// been shown. The next picture fades in over the last `fade` milliseconds of
// the shown one's time, above it, by a CSS opacity transition. Keys, clicks
// and swipes cut to a picture at once, and its full delay starts over.
constexpr std::string_view kPlayer = R"js(
const stage = document.getElementById('stage');
const hud = document.getElementById('hud');
const still = matchMedia('(prefers-reduced-motion: reduce)');
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
let current = -1, fading = false;
function show(index) {
  const image = attach(index);
  if (!image) return false;
  image.style.transition = 'none';
  image.style.opacity = 1;
  image.style.zIndex = 0;
  image.style.visibility = 'visible';
  for (const [other, shown] of images) {
    if (other === index) continue;
    URL.revokeObjectURL(shown.src);
    shown.remove();
    images.delete(other);
  }
  current = index;
  fading = false;
  if (loop || index + 1 < count) attach((index + 1) % count);
  return true;
}
function fadeTo(index, duration) {
  const image = attach(index);
  if (!image) return;
  image.style.transition = 'none';
  image.style.opacity = 0;
  image.style.zIndex = 1;
  image.style.visibility = 'visible';
  getComputedStyle(image).opacity;   // the transition starts from transparent
  image.style.transition = `opacity ${duration}ms linear`;
  image.style.opacity = 1;
  current = index;
  fading = true;
}
let base = performance.now(), baseStep = 0, paused = false, timer = 0;
function tick() {
  clearTimeout(timer);
  if (paused) return;
  const now = performance.now();
  const step = baseStep + Math.floor((now - base) / delay);
  const index = loop ? step % count : Math.min(step, count - 1);
  if ((index !== current || fading) && !show(index)) {
    timer = setTimeout(tick, 20);   // the page is still loading that picture
    return;
  }
  if (!loop && step >= count - 1) return;
  const next = base + (step - baseStep + 1) * delay;
  let wake = next;
  if (fade > 0 && count > 1 && !still.matches) {
    if (now < next - fade) wake = next - fade;
    else fadeTo((index + 1) % count, next - now);
  }
  timer = setTimeout(tick, Math.min(wake - now, 2 ** 30));
}
tick();

let hudTimer = 0;
function note() {
  hud.textContent = `${current + 1} / ${count} · ${paused ? 'Paused' : 'Playing'}`;
  hud.className = 'shown';
  clearTimeout(hudTimer);
  hudTimer = setTimeout(() => { hud.className = ''; }, 1500);
}
function go(index) {
  if (!show(loop ? (index + count) % count : Math.max(0, Math.min(index, count - 1)))) return;
  base = performance.now();
  baseStep = current;
  tick();
  note();
}
function pause() {
  paused = !paused;
  if (paused && fading) show(current);
  go(current);
}
function fullScreen() {
  if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
  else document.documentElement.requestFullscreen().catch(() => {});
}
const keys = {
  ArrowRight: () => go(current + 1), PageDown: () => go(current + 1),
  ArrowLeft: () => go(current - 1), PageUp: () => go(current - 1),
  Home: () => go(0), End: () => go(count - 1), ' ': pause, f: fullScreen, F: fullScreen,
  Escape: () => document.fullscreenElement && fullScreen(),
};
addEventListener('keydown', (event) => {
  const action = keys[event.key];
  if (!action || event.ctrlKey || event.altKey || event.metaKey) return;
  event.preventDefault();
  action();
});
// A double-click also clicks twice: its first click moves on, and the
// double-click goes back to the picture before it.
let beforeClick = 0;
addEventListener('click', (event) => {
  if (event.detail > 1) return;
  beforeClick = current;
  go(current + 1);
});
addEventListener('dblclick', () => {
  go(beforeClick);
  fullScreen();
});
let touch = null;
addEventListener('touchstart', (event) => { touch = event.touches.length === 1 ? event.touches[0] : null; });
addEventListener('touchend', (event) => {
  const end = event.changedTouches[0], dx = end.clientX - touch?.clientX, dy = end.clientY - touch?.clientY;
  touch = null;
  if (Math.abs(dx) > 40 && Math.abs(dx) > 2 * Math.abs(dy)) go(current + (dx < 0 ? 1 : -1));
});
addEventListener('pointermove', note);
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
    const auto unit = [](std::int32_t value) { return value / (swf::kTwipsPerStagePixel << 16); };
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
        "body { display: grid; place-items: center; user-select: none; touch-action: pinch-zoom; }\n");
    put(format("#stage { position: relative; overflow: hidden; aspect-ratio: %d / %d;"
               " width: min(%dpx, 100vw, 100vh * %d / %d); }\n",
               stage.width, stage.height, stage.width, stage.width, stage.height));
    // Each picture brings the black around it, so that as it fades in the
    // one it covers fades out there too.
    put("#stage img { position: absolute; left: 50%; top: 50%; image-orientation: none;"
        " box-shadow: 0 0 0 100vmax #000; }\n"
        "#hud { position: absolute; right: 8px; bottom: 8px; z-index: 2; padding: 2px 8px; border-radius: 4px;"
        " background: rgb(0 0 0 / 60%); color: #fff; font: 14px/1.5 sans-serif; pointer-events: none;"
        " opacity: 0; transition: opacity 0.5s; }\n"
        "#hud.shown { opacity: 1; transition: none; }\n"
        "@media (prefers-reduced-motion: reduce) { #hud { transition: none; } }\n"
        "</style></head>\n<body><div id=\"stage\"><div id=\"hud\" role=\"status\"></div></div>\n");
}

Failure PageWriter::addPicture(const PicturePlan &plan, const PreparedPicture &picture)
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
        // A fade takes at most half of a picture's time, as in the SWF.
        const double fade = std::min(m_settings.fade, m_settings.delay / 2);
        put(format("<script>\nconst count = %zu, delay = %.17g, fade = %.17g, loop = %s;", m_settings.pictures,
                   m_settings.delay * 1000.0, fade * 1000.0, m_settings.loop ? "true" : "false"));
        put(kPlayer);
        put("</script>\n");
    }
    return m_file.failure();
}

Failure PageWriter::finish()
{
    put("</body></html>\n");
    return m_file.failure();
}

void PageWriter::put(std::string_view text)
{
    m_file.write(std::span(reinterpret_cast<const std::uint8_t *>(text.data()), text.size()));
}
