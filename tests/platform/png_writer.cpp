#include "tests/platform/png_writer.h"

#include <algorithm>

#include <zlib.h>

std::vector<uint8_t> PngChunk(const std::string& type, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> chunk;
    const auto be32 = [&chunk](uint32_t v) {
        for (int i = 3; i >= 0; --i) chunk.push_back(uint8_t(v >> (8 * i)));
    };
    be32(uint32_t(data.size()));
    chunk.insert(chunk.end(), type.begin(), type.end());
    chunk.insert(chunk.end(), data.begin(), data.end());
    be32(uint32_t(::crc32(0, chunk.data() + 4, uInt(chunk.size() - 4))));
    return chunk;
}

namespace {

// RawSize zeros deflated, fed from a small buffer (no copy of them all is made).
std::vector<uint8_t> DeflatedZeros(uint64_t count) {
    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    const std::vector<uint8_t> zeros(1 << 20, 0);
    std::vector<uint8_t> out;
    uint8_t buffer[1 << 16];
    int flush = Z_NO_FLUSH;
    do {
        if (stream.avail_in == 0) {
            const uint64_t part = std::min<uint64_t>(count, zeros.size());
            count -= part;
            stream.next_in = const_cast<Bytef*>(zeros.data());
            stream.avail_in = uInt(part);
            flush = count == 0 ? Z_FINISH : Z_NO_FLUSH;
        }
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        deflate(&stream, flush);
        out.insert(out.end(), buffer, buffer + (sizeof buffer - stream.avail_out));
    } while (flush != Z_FINISH || stream.avail_out == 0);
    deflateEnd(&stream);
    return out;
}

}  // namespace

std::vector<uint8_t> WritePng(const PngOptions& options) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    for (uint32_t v : {options.Width, options.Height}) {
        for (int i = 3; i >= 0; --i) header.push_back(uint8_t(v >> (8 * i)));
    }
    header.insert(header.end(), {options.Depth, options.Colour, 0, 0, options.Interlace});
    const auto add = [&png](const std::vector<uint8_t>& chunk) { png.insert(png.end(), chunk.begin(), chunk.end()); };
    add(PngChunk("IHDR", header));
    if (options.Colour == 3) add(PngChunk("PLTE", options.Palette));
    for (const auto& chunk : options.Extra) add(chunk);
    // The data in two chunks, as encoders that write in parts do.
    const std::vector<uint8_t> data = DeflatedZeros(options.RawSize);
    const auto half = data.begin() + std::ptrdiff_t(data.size() / 2);
    add(PngChunk("IDAT", std::vector<uint8_t>(data.begin(), half)));
    add(PngChunk("IDAT", std::vector<uint8_t>(half, data.end())));
    add(PngChunk("IEND", {}));
    return png;
}

std::vector<uint8_t> IcoOf(const std::vector<uint8_t>& picture) {
    std::vector<uint8_t> ico = {0, 0, 1, 0, 1, 0, 48, 48, 0, 0, 1, 0, 32, 0};
    for (uint32_t v : {uint32_t(picture.size()), uint32_t(22)}) {
        for (int i = 0; i < 4; ++i) ico.push_back(uint8_t(v >> (8 * i)));
    }
    ico.insert(ico.end(), picture.begin(), picture.end());
    return ico;
}
