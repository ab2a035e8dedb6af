#include "JpegDecode.h"

#include "JpegLimits.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

namespace {

// libjpeg reports through longjmp: between setjmp and the jump only plain C
// state, so no destructor is ever skipped. Warnings stop the decode too
// (limitJpegDecoding), counted so the reason can tell damage from an error.
struct Complaints {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void stop(j_common_ptr codec)
{
    auto *complaints = reinterpret_cast<Complaints *>(codec->err);
    codec->err->format_message(codec, complaints->message);
    std::longjmp(complaints->jump, 1);
}

void listen(Complaints &complaints)
{
    jpeg_std_error(&complaints.manager);
    complaints.manager.error_exit = stop;
}

Problem reasonOf(const Complaints &complaints)
{
    std::string message = complaints.message;
    const std::string corrupt = "Corrupt JPEG data: ";
    if (message.starts_with(corrupt))
        message.erase(0, corrupt.size());
    return Problem{.reason = (complaints.manager.num_warnings > 0 ? "damaged picture data: " : "cannot be decoded: ") + message};
}

// Reads the pieces one after the other; past the last, like libjpeg's memory
// source, a warning and a made-up end-of-image marker.
struct PiecesSource {
    jpeg_source_mgr manager;
    const JpegPieces *pieces;
    std::size_t next;
};

void startPieces(j_decompress_ptr) {}
void endPieces(j_decompress_ptr) {}

boolean nextPiece(j_decompress_ptr codec)
{
    auto *source = reinterpret_cast<PiecesSource *>(codec->src);
    while (source->next < source->pieces->size()) {
        const auto piece = (*source->pieces)[source->next++];
        if (piece.empty())
            continue;
        source->manager.next_input_byte = piece.data();
        source->manager.bytes_in_buffer = piece.size();
        return TRUE;
    }
    static const JOCTET end[2] = {0xFF, JPEG_EOI};
    WARNMS(codec, JWRN_JPEG_EOF);
    source->manager.next_input_byte = end;
    source->manager.bytes_in_buffer = 2;
    return TRUE;
}

void skipBytes(j_decompress_ptr codec, long count)
{
    jpeg_source_mgr &source = *codec->src;
    while (count > long(source.bytes_in_buffer)) {
        count -= long(source.bytes_in_buffer);
        source.bytes_in_buffer = 0;
        nextPiece(codec);
    }
    if (count > 0) {
        source.next_input_byte += count;
        source.bytes_in_buffer -= std::size_t(count);
    }
}

void readPieces(jpeg_decompress_struct &codec, PiecesSource &source, const JpegPieces &pieces)
{
    source.manager.init_source = startPieces;
    source.manager.fill_input_buffer = nextPiece;
    source.manager.skip_input_data = skipBytes;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = endPieces;
    source.manager.next_input_byte = nullptr;
    source.manager.bytes_in_buffer = 0;
    source.pieces = &pieces;
    source.next = 0;
    codec.src = &source.manager;
}

} // namespace

Failure decodeJpegData(const JpegPieces &pieces, int eighths, std::uint64_t dataBytes, const JpegRowSink &sink)
{
    jpeg_decompress_struct codec;
    Complaints complaints;
    PiecesSource source;
    JpegWorkLimit limit;
    codec.err = &complaints.manager;
    listen(complaints);
    jpeg_create_decompress(&codec);
    if (setjmp(complaints.jump)) {
        jpeg_destroy_decompress(&codec);
        return reasonOf(complaints);
    }
    readPieces(codec, source, pieces);
    limitJpegDecoding(codec, limit, dataBytes);
    jpeg_read_header(&codec, TRUE);
    codec.scale_num = unsigned(eighths);
    codec.scale_denom = 8;
    codec.out_color_space = codec.num_components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&codec);

    const JpegOutput output{int(codec.output_width), int(codec.output_height), int(codec.output_components)};
    if (sink.start) {
        if (Failure refused = sink.start(output)) {
            jpeg_destroy_decompress(&codec);
            return refused;
        }
    }
    // One row of libjpeg's own, freed with the decoder.
    JSAMPARRAY row = (*codec.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&codec), JPOOL_IMAGE,
                                                JDIMENSION(output.width) * JDIMENSION(output.components), 1);
    while (codec.output_scanline < codec.output_height) {
        jpeg_read_scanlines(&codec, row, 1);
        if (sink.row)
            sink.row(row[0]);
    }
    // Reads on to the end-of-image marker: damage after the last row counts too.
    jpeg_finish_decompress(&codec);
    jpeg_destroy_decompress(&codec);
    return std::nullopt;
}

namespace {

bool copyCoefficients(const std::uint8_t *data, unsigned long size, unsigned char **out,
                      unsigned long *outSize, Complaints &complaints)
{
    jpeg_decompress_struct source;
    jpeg_compress_struct target;
    JpegWorkLimit limit;
    source.err = target.err = &complaints.manager;
    listen(complaints);
    jpeg_create_decompress(&source);
    jpeg_create_compress(&target);
    if (setjmp(complaints.jump)) {
        jpeg_destroy_compress(&target);
        jpeg_destroy_decompress(&source);
        return false;
    }
    jpeg_mem_src(&source, data, size);
    limitJpegDecoding(source, limit, size);
    jpeg_read_header(&source, TRUE);
    jvirt_barray_ptr *coefficients = jpeg_read_coefficients(&source);
    jpeg_copy_critical_parameters(&source, &target);
    target.arith_code = FALSE;
    target.optimize_coding = TRUE;   // tables fitted to this picture: smaller, still baseline
    jpeg_mem_dest(&target, out, outSize);
    jpeg_write_coefficients(&target, coefficients);
    jpeg_finish_compress(&target);
    jpeg_finish_decompress(&source);
    jpeg_destroy_compress(&target);
    jpeg_destroy_decompress(&source);
    return true;
}

} // namespace

Checked<std::vector<std::uint8_t>> copyCoefficientsToBaseline(std::span<const std::uint8_t> data)
{
    unsigned char *out = nullptr;
    unsigned long outSize = 0;
    Complaints complaints;
    const bool ok = copyCoefficients(data.data(), static_cast<unsigned long>(data.size()), &out, &outSize, complaints);
    std::vector<std::uint8_t> result;
    if (ok)
        result.assign(out, out + outSize);
    std::free(out);
    if (!ok)
        return reasonOf(complaints);
    return result;
}
