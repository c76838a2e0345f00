#include "plenar_sim/png_writer.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace plenar::sim {
namespace {

uint32_t crc32(const std::string& bytes, size_t from) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); ++i)
        crc = table[(crc ^ static_cast<uint8_t>(bytes[i])) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

uint32_t adler32(const std::string& bytes) {
    uint32_t a = 1, b = 0;
    for (const char c : bytes) {
        a = (a + static_cast<uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void put_big_endian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void put_chunk(std::string& png, const char* type, const std::string& data) {
    put_big_endian(png, static_cast<uint32_t>(data.size()));
    const size_t start = png.size();
    png += type;
    png += data;
    put_big_endian(png, crc32(png, start));
}

// A deflate stream of one block with the fixed Huffman codes, its matches
// found only at the two distances a picture repeats itself at: the pixel
// before and the row above. Enough for the flat areas of a drawing.
class BitWriter {
public:
    explicit BitWriter(std::string& out) : out_(out) {}
    void bits(uint32_t value, int count) {  // least significant bit first
        for (int i = 0; i < count; ++i) {
            byte_ |= ((value >> i) & 1) << used_;
            if (++used_ == 8) flush();
        }
    }
    void code(uint32_t value, int count) {  // a Huffman code: most significant bit first
        for (int i = count - 1; i >= 0; --i) bits((value >> i) & 1, 1);
    }
    void flush() {
        if (used_) out_ += static_cast<char>(byte_);
        byte_ = 0;
        used_ = 0;
    }

private:
    std::string& out_;
    uint32_t byte_ = 0;
    int used_ = 0;
};

void put_literal(BitWriter& out, uint32_t symbol) {
    if (symbol < 144)
        out.code(0x30 + symbol, 8);
    else if (symbol < 256)
        out.code(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        out.code(symbol - 256, 7);
    else
        out.code(0xC0 + symbol - 280, 8);
}

// The deflate tables of match lengths and distances: each code's base value
// and its count of extra bits.
constexpr uint16_t length_base[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t length_extra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t distance_base[] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t distance_extra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                      6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void put_match(BitWriter& out, size_t length, size_t distance) {
    size_t l = std::size(length_base) - 1;
    while (length_base[l] > length) --l;
    put_literal(out, 257 + static_cast<uint32_t>(l));
    out.bits(static_cast<uint32_t>(length - length_base[l]), length_extra[l]);
    size_t d = std::size(distance_base) - 1;
    while (distance_base[d] > distance) --d;
    out.code(static_cast<uint32_t>(d), 5);
    out.bits(static_cast<uint32_t>(distance - distance_base[d]), distance_extra[d]);
}

size_t match_length(const std::string& raw, size_t at, size_t distance) {
    if (distance == 0 || distance > at || distance > 32768) return 0;
    size_t length = 0;
    while (length < 258 && at + length < raw.size() &&
           raw[at + length] == raw[at + length - distance])
        ++length;
    return length;
}

// A zlib stream of the picture's rows; `stride` is the length of a row.
std::string zlib_compressed(const std::string& raw, size_t stride) {
    std::string out = "\x78\x01";
    BitWriter bits(out);
    bits.bits(1, 1);  // the last block
    bits.bits(1, 2);  // fixed codes
    for (size_t at = 0; at < raw.size();) {
        const size_t before = match_length(raw, at, 4), above = match_length(raw, at, stride);
        const size_t length = std::max(before, above);
        if (length >= 3) {
            put_match(bits, length, before >= above ? 4 : stride);
            at += length;
        } else {
            put_literal(bits, static_cast<uint8_t>(raw[at++]));
        }
    }
    put_literal(bits, 256);  // end of block
    bits.flush();
    put_big_endian(out, adler32(raw));
    return out;
}

}  // namespace

std::string encode_png(int width, int height, const std::vector<uint32_t>& pixels) {
    std::string raw;
    raw.reserve(static_cast<size_t>(height) * (1 + 4 * width));
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // filter: none
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            raw += static_cast<char>((p >> 16) & 0xFF);
            raw += static_cast<char>((p >> 8) & 0xFF);
            raw += static_cast<char>(p & 0xFF);
            raw += static_cast<char>(p >> 24);
        }
    }
    std::string header;
    put_big_endian(header, static_cast<uint32_t>(width));
    put_big_endian(header, static_cast<uint32_t>(height));
    header +=
        std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA, deflate, no filter, no interlace
    std::string png = "\x89PNG\r\n\x1A\n";
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", zlib_compressed(raw, 1 + 4 * static_cast<size_t>(width)));
    put_chunk(png, "IEND", "");
    return png;
}

}  // namespace plenar::sim
