// Stored property values as the tests spell them out, shared by the SDK's
// unit tests and the plug-in's: a text is its bytes with the NUL, a number
// its four bytes, least significant first; parts are joined in order.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace test_support {

using Bytes = std::vector<uint8_t>;

inline Bytes TextBytes(const std::string& text) {
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

inline Bytes NumberBytes(uint32_t value) {
    return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

}  // namespace test_support
