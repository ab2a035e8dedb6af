#include "SwfReader.h"

#include <algorithm>
#include <map>

namespace swfread {

namespace {

std::uint32_t le(const Bytes &b, std::size_t at, int n)
{
    if (at + std::size_t(n) > b.size())
        throw std::runtime_error("field past the end");
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | b[at + std::size_t(i)];
    return v;
}

// MSB-first bit fields from a byte position.
class Bits
{
public:
    Bits(const Bytes &data, std::size_t at) : m_data(data), m_bit(at * 8) {}
    std::size_t byteAfter() const { return (m_bit + 7) / 8; }

    std::uint32_t ub(int n)
    {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i, ++m_bit) {
            if (m_bit / 8 >= m_data.size())
                throw std::runtime_error("bit field past the end");
            v = v << 1 | ((m_data[m_bit / 8] >> (7 - m_bit % 8)) & 1);
        }
        return v;
    }

    std::int32_t sb(int n)
    {
        const std::uint32_t v = ub(n);
        return n > 0 && (v & (1u << (n - 1))) ? std::int32_t(v | ~((1u << n) - 1)) : std::int32_t(v);
    }

private:
    const Bytes &m_data;
    std::size_t m_bit;
};

Matrix readMatrix(Bits &bits)
{
    Matrix m;
    if (bits.ub(1)) {
        const int n = int(bits.ub(5));
        m.scaleX = bits.sb(n) / 65536.0;
        m.scaleY = bits.sb(n) / 65536.0;
    }
    if (bits.ub(1)) {
        const int n = int(bits.ub(5));
        m.skew0 = bits.sb(n) / 65536.0;
        m.skew1 = bits.sb(n) / 65536.0;
    }
    const int n = int(bits.ub(5));
    m.translateX = bits.sb(n);
    m.translateY = bits.sb(n);
    return m;
}

// The start-of-frame marker of a JPEG stream (0xC0 for baseline) and its
// number of colour components.
std::pair<int, int> jpegFrame(const Bytes &jpeg)
{
    if (le(jpeg, 0, 2) != 0xD8FF)
        throw std::runtime_error("not a JPEG stream");
    for (std::size_t at = 2; jpeg.at(at) == 0xFF; at += 2 + (jpeg.at(at + 2) << 8 | jpeg.at(at + 3))) {
        const int marker = jpeg.at(at + 1);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return {marker, jpeg.at(at + 9)};
    }
    throw std::runtime_error("no frame header before the picture data");
}

} // namespace

std::vector<Outline> shapeOutlines(const Bytes &body)
{
    Bits bounds(body, 2);
    const int n = int(bounds.ub(5));
    for (int i = 0; i < 4; ++i)
        bounds.sb(n);
    std::size_t at = bounds.byteAfter() + 2;   // fill count, fill type
    if (body.at(at - 1) == 0x00) {
        at += 3;                               // a solid colour
    } else {
        Bits fill(body, at + 2);               // a bitmap and its matrix
        readMatrix(fill);
        at = fill.byteAfter();
    }
    Bits records(body, at + 1);                // line style count
    const int fillBits = int(records.ub(4));
    records.ub(4);
    std::vector<Outline> outlines;
    while (true) {
        if (records.ub(1) == 1) {
            if (outlines.empty() || records.ub(1) != 1)
                throw std::runtime_error("an edge before a move, or a curved edge");
            const int bits = int(records.ub(4)) + 2;
            if (records.ub(1) == 1)
                throw std::runtime_error("general line");
            const bool vertical = records.ub(1) == 1;
            outlines.back().edges.emplace_back(records.sb(bits), vertical);
            continue;
        }
        const std::uint32_t flags = records.ub(5);
        if (flags == 0)
            return outlines;
        if (!(flags & 1))
            throw std::runtime_error("a style change that does not move the pen");
        const int moveBits = int(records.ub(5));
        outlines.push_back({records.sb(moveBits), records.sb(moveBits), {}});
        if (flags & 2)
            records.ub(fillBits);
        if (flags & 4)
            records.ub(fillBits);
    }
}

Movie parse(const Bytes &file)
{
    Movie movie;
    if (file.size() < 8)
        throw std::runtime_error("too short");
    movie.signature = std::string(file.begin(), file.begin() + 3);
    movie.version = file[3];
    movie.fileLength = le(file, 4, 4);
    Bits rect(file, 8);
    const int n = int(rect.ub(5));
    const int xMin = rect.sb(n), xMax = rect.sb(n), yMin = rect.sb(n), yMax = rect.sb(n);
    movie.stageWidth = xMax - xMin;
    movie.stageHeight = yMax - yMin;
    std::size_t at = rect.byteAfter();
    movie.frameRate88 = std::uint16_t(le(file, at, 2));
    movie.frameCount = std::uint16_t(le(file, at + 2, 2));
    at += 4;

    bool sawStop = false;
    std::map<int, Layer> displayList;
    while (at < file.size()) {
        const std::uint32_t header = le(file, at, 2);
        const int code = int(header >> 6);
        std::uint32_t length = header & 0x3F;
        at += 2;
        if (length == 0x3F) {
            length = le(file, at, 4);
            at += 4;
        }
        if (at + length > file.size())
            throw std::runtime_error("tag past the end");
        const Bytes body(file.begin() + std::ptrdiff_t(at), file.begin() + std::ptrdiff_t(at + length));
        at += length;

        switch (code) {
        case 21: {
            Picture picture;
            picture.bitmapId = int(le(body, 0, 2));
            picture.jpeg.assign(body.begin() + 2, body.end());
            if (jpegFrame(picture.jpeg) != std::pair(0xC0, 3))
                throw std::runtime_error("a picture is not a baseline JPEG with three components");
            movie.pictures.push_back(picture);
            break;
        }
        case 2: {
            Bits bits(body, 2);
            const int rn = int(bits.ub(5));
            const int x0 = bits.sb(rn), x1 = bits.sb(rn), y0 = bits.sb(rn), y1 = bits.sb(rn);
            const std::size_t after = bits.byteAfter();
            if (body.at(after) == 1 && body.at(after + 1) == 0x00 && le(body, after + 2, 3) == 0) {
                // Black rectangles: the margins around a picture.
                std::vector<Box> &boxes = movie.margins[int(le(body, 0, 2))];
                for (const Outline &outline : shapeOutlines(body)) {
                    Box box{outline.x, outline.x, outline.y, outline.y};
                    int x = outline.x, y = outline.y;
                    for (const auto &[delta, vertical] : outline.edges) {
                        (vertical ? y : x) += delta;
                        box = {std::min(box.xMin, x), std::max(box.xMax, x), std::min(box.yMin, y), std::max(box.yMax, y)};
                    }
                    if (x != outline.x || y != outline.y || outline.edges.size() != 4)
                        throw std::runtime_error("a margin is no rectangle");
                    boxes.push_back(box);
                }
                break;
            }
            Picture &picture = movie.pictures.at(movie.pictures.size() - 1);
            picture.shapeId = int(le(body, 0, 2));
            picture.shapeWidth = x1 - x0;
            picture.shapeHeight = y1 - y0;
            if (body.at(after) != 1 || body.at(after + 1) != 0x41
                || int(le(body, after + 2, 2)) != picture.bitmapId)
                throw std::runtime_error("shape does not fill with its bitmap");
            Bits fill(body, after + 4);
            picture.fill = readMatrix(fill);
            break;
        }
        case 26: {
            const int flags = body.at(0);
            const int depth = int(le(body, 1, 2));
            const bool move = flags & 0x01, hasCharacter = flags & 0x02;
            if (move != displayList.contains(depth))
                throw std::runtime_error(move ? "moves an empty depth" : "places on an occupied depth");
            Layer &layer = displayList[depth];
            layer.depth = depth;
            std::size_t field = hasCharacter ? 5 : 3;
            if (hasCharacter) {
                layer.characterId = int(le(body, 3, 2));
                if (!move)
                    layer.alpha88 = 256;
            }
            Picture *picture = nullptr;
            for (Picture &defined : movie.pictures)
                if (defined.shapeId == layer.characterId)
                    picture = &defined;
            Picture margins;   // holds no placement
            if (!picture && movie.margins.contains(layer.characterId))
                picture = &margins;
            if (!picture)
                throw std::runtime_error("places a shape that is not defined");
            if (flags & 0x04) {
                Bits matrix(body, field);
                picture->placement = readMatrix(matrix);
                field = matrix.byteAfter();
            }
            if (flags & 0x08) {
                Bits bits(body, field);
                // CXFORMWITHALPHA: only the alpha multiplier may differ from 1.
                const bool adds = bits.ub(1), mults = bits.ub(1);
                const int n = int(bits.ub(4));
                if (adds || !mults || bits.sb(n) != 256 || bits.sb(n) != 256 || bits.sb(n) != 256)
                    throw std::runtime_error("a colour transform changes more than the alpha");
                layer.alpha88 = bits.sb(n);
            }
            break;
        }
        case 28:
            if (displayList.erase(int(le(body, 0, 2))) != 1)
                throw std::runtime_error("removes an empty depth");
            break;
        case 12:
            sawStop = body == Bytes{0x07, 0x00};
            break;
        case 1:
            ++movie.showFrames;
            if (!movie.pictures.empty())
                ++movie.pictures.back().frames;
            movie.frames.emplace_back();
            for (const auto &[depth, layer] : displayList)
                movie.frames.back().push_back(layer);
            movie.stops = sawStop;
            sawStop = false;
            break;
        default:
            break;
        }
        movie.tagCodes.push_back(code);
    }
    return movie;
}

} // namespace swfread
