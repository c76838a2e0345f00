// Code-page conversions of the native build, made to give the same units as
// MultiByteToWideChar / WideCharToMultiByte with flags 0 under Wine, which the
// win32 build runs on in its tests: UTF-8 (65001) and, as the ANSI code page,
// Windows-1252 (the code page Wine reports for the locales the tests run in).
#include <cstring>

#include "platform/platform.h"

namespace Kvor::Platform {
namespace {

constexpr char32_t replacement_character = 0xFFFD;
constexpr char unmappable_ansi = '?';

// Windows-1252 bytes 0x80-0x9F; the other bytes are their own code points.
// The five bytes the code page leaves undefined map to the C1 controls, as on
// Windows.
constexpr char16_t windows_1252_high_controls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Collects converted units into the caller's buffer with the Windows
// contract: a capacity of 0 only counts; a result that does not fit leaves
// what fitted and makes the call fail. Each Put is one whole character: it is
// written entirely or not at all.
template <typename Unit>
class Output {
public:
    Output(Unit* destination, int capacity) : destination_(destination), capacity_(capacity) {}

    void Put(const Unit* units, int count) {
        if (capacity_ > 0) {
            if (overflowed_ || count_ + count > capacity_) {
                overflowed_ = true;
                return;
            }
            std::memcpy(destination_ + count_, units, count * sizeof(Unit));
        }
        count_ += count;
    }

    int Result() const { return overflowed_ ? 0 : count_; }

private:
    Unit* destination_;
    int capacity_;
    int count_ = 0;
    bool overflowed_ = false;
};

bool ArgumentsValid(const void* source, int source_length, const void* destination,
                    int destination_length) {
    return source && source_length != 0 && destination_length >= 0 &&
           (destination || destination_length == 0);
}

int TrailByteCount(unsigned char lead) {
    if (lead < 0xC2) return 0;
    if (lead < 0xE0) return 1;
    if (lead < 0xF0) return 2;
    if (lead < 0xF5) return 3;
    return 0;
}

// Decodes the character starting at source[position] and returns where the
// next one starts. Invalid input decodes as U+FFFD and is skipped in the
// pieces Wine skips: the lead byte together with the continuation bytes taken
// before the sequence proved invalid; a sequence cut by the end of the input
// takes everything up to that end.
size_t DecodeUTF8(const unsigned char* source, size_t position, size_t end, char32_t& decoded) {
    const unsigned char lead = source[position++];
    decoded = replacement_character;
    if (lead < 0x80) {
        decoded = lead;
        return position;
    }
    const int trail_bytes = TrailByteCount(lead);
    if (trail_bytes == 0) return position;
    if (position + trail_bytes > end) return end;

    char32_t value = lead & (0x7F >> (trail_bytes + 1));
    for (int remaining = trail_bytes; remaining > 0; --remaining) {
        const unsigned continuation = source[position] ^ 0x80;
        if (continuation >= 0x40) return position;
        value = value << 6 | continuation;
        const bool before_last_two = remaining == 2;
        if (before_last_two && value >= (0x110000 >> 6)) return position;  // beyond U+10FFFF
        ++position;
        if (remaining == 3 && value < (0x10000 >> 12)) return position;  // overlong, 4 bytes
        if (before_last_two && value < (0x800 >> 6)) return position;    // overlong, 3 bytes
        if (before_last_two && value >= (0xD800 >> 6) && value <= (0xDFFF >> 6)) return position;
    }
    decoded = value;
    return position;
}

int UTF8ToUTF16(const unsigned char* source, size_t length, Output<WideChar>& output) {
    for (size_t position = 0; position < length;) {
        char32_t code_point;
        position = DecodeUTF8(source, position, length, code_point);
        if (code_point < 0x10000) {
            const WideChar unit = static_cast<WideChar>(code_point);
            output.Put(&unit, 1);
        } else {
            // The two halves go one by one: a pair that does not fit leaves its
            // high half behind, as Windows does.
            const WideChar high = static_cast<WideChar>(0xD800 + ((code_point - 0x10000) >> 10));
            const WideChar low = static_cast<WideChar>(0xDC00 + (code_point & 0x3FF));
            output.Put(&high, 1);
            output.Put(&low, 1);
        }
    }
    return output.Result();
}

int ANSIToUTF16(const unsigned char* source, size_t length, Output<WideChar>& output) {
    for (size_t position = 0; position < length; ++position) {
        const unsigned char byte = source[position];
        const WideChar unit = byte >= 0x80 && byte < 0xA0 ? windows_1252_high_controls[byte - 0x80]
                                                          : static_cast<WideChar>(byte);
        output.Put(&unit, 1);
    }
    return output.Result();
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

int UTF16ToUTF8(const WideChar* source, size_t length, Output<char>& output) {
    for (size_t position = 0; position < length;) {
        char32_t code_point = source[position++];
        if (IsHighSurrogate(code_point) && position < length && IsLowSurrogate(source[position])) {
            code_point = 0x10000 + ((code_point - 0xD800) << 10) + (source[position++] - 0xDC00);
        } else if (IsHighSurrogate(code_point) || IsLowSurrogate(code_point)) {
            code_point = replacement_character;
        }
        char bytes[4];
        int count;
        if (code_point < 0x80) {
            bytes[0] = static_cast<char>(code_point);
            count = 1;
        } else if (code_point < 0x800) {
            bytes[0] = static_cast<char>(0xC0 | code_point >> 6);
            bytes[1] = static_cast<char>(0x80 | (code_point & 0x3F));
            count = 2;
        } else if (code_point < 0x10000) {
            bytes[0] = static_cast<char>(0xE0 | code_point >> 12);
            bytes[1] = static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
            bytes[2] = static_cast<char>(0x80 | (code_point & 0x3F));
            count = 3;
        } else {
            bytes[0] = static_cast<char>(0xF0 | code_point >> 18);
            bytes[1] = static_cast<char>(0x80 | (code_point >> 12 & 0x3F));
            bytes[2] = static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
            bytes[3] = static_cast<char>(0x80 | (code_point & 0x3F));
            count = 4;
        }
        output.Put(bytes, count);
    }
    return output.Result();
}

// Units with no byte of their own become '?'. Windows also applies its
// best-fit table here (U+0100 gives 'A'); nothing in the SDK converts wide
// text to the ANSI code page, so that table is not carried.
int UTF16ToANSI(const WideChar* source, size_t length, Output<char>& output) {
    for (size_t position = 0; position < length; ++position) {
        const char16_t unit = source[position];
        char byte = unmappable_ansi;
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
            byte = static_cast<char>(unit);
        } else {
            for (int index = 0; index < 32; ++index) {
                if (windows_1252_high_controls[index] == unit)
                    byte = static_cast<char>(0x80 + index);
            }
        }
        output.Put(&byte, 1);
    }
    return output.Result();
}

size_t WideLength(const WideChar* text) {
    size_t length = 0;
    while (text[length]) ++length;
    return length;
}

}  // namespace

int MultiByteToWide(uint32_t code_page, const char* source, int source_length,
                    WideChar* destination, int destination_length) {
    if (!ArgumentsValid(source, source_length, destination, destination_length)) return 0;
    const size_t length = source_length < 0 ? std::strlen(source) + 1 : size_t(source_length);
    const auto* bytes = reinterpret_cast<const unsigned char*>(source);
    Output<WideChar> output(destination, destination_length);
    switch (code_page) {
        case code_page_utf8: return UTF8ToUTF16(bytes, length, output);
        case code_page_ansi: return ANSIToUTF16(bytes, length, output);
        default: return 0;
    }
}

int WideToMultiByte(uint32_t code_page, const WideChar* source, int source_length,
                    char* destination, int destination_length) {
    if (!ArgumentsValid(source, source_length, destination, destination_length)) return 0;
    const size_t length = source_length < 0 ? WideLength(source) + 1 : size_t(source_length);
    Output<char> output(destination, destination_length);
    switch (code_page) {
        case code_page_utf8: return UTF16ToUTF8(source, length, output);
        case code_page_ansi: return UTF16ToANSI(source, length, output);
        default: return 0;
    }
}

}  // namespace Kvor::Platform
