#include "properties/layout_record.h"

#include <cstring>

#include "kvor/messages.h"
#include "properties/editdata.h"

namespace Kvor {
namespace {

uint32_t Crc32(const uint8_t* bytes, uint32_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint32_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t Word(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

void AppendWord(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(uint8_t(value >> shift));
}

void PutWord(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = uint8_t(value >> (8 * i));
}

}  // namespace

bool StepValue(const uint8_t* bytes, StoredKind kind, uint32_t end, uint32_t& at,
               const char*& damage) {
    switch (kind) {
        case StoredKind::nothing: return true;
        case StoredKind::text: {
            const void* nul = at < end ? std::memchr(bytes + at, 0, end - at) : nullptr;
            if (!nul) {
                damage = Kvor::message::damage_text_runs_past;
                return false;
            }
            at = uint32_t(static_cast<const uint8_t*>(nul) - bytes) + 1;
            return true;
        }
        default:
            if (at > end || end - at < stored_number_size) {
                damage = Kvor::message::damage_number_runs_past;
                return false;
            }
            at += stored_number_size;
            return true;
    }
}

void AppendLayoutRecord(std::vector<uint8_t>& storage, const std::vector<StoredKind>& kinds) {
    for (StoredKind kind : kinds) storage.push_back(uint8_t(kind));
    AppendWord(storage, uint32_t(kinds.size()));
    AppendWord(storage, Crc32(storage.data(), uint32_t(storage.size())));
    storage.insert(storage.end(), std::begin(layout_record_magic), std::end(layout_record_magic));
}

RecordFound ReadLayoutRecord(const uint8_t* bytes, uint32_t end, std::vector<StoredKind>& kinds,
                             uint32_t& values_end) {
    if (end < storage_offset + layout_record_fixed_size ||
        std::memcmp(bytes + end - 4, layout_record_magic, 4) != 0)
        return RecordFound::none;
    const uint32_t fixed = end - layout_record_fixed_size;
    const uint32_t count = Word(bytes + fixed);
    // The check bytes, the kinds and the fixed part must fit in the storage.
    const uint64_t least = uint64_t(storage_offset) + (uint64_t(count) + 7) / 8 + count;
    if (least > fixed ||
        Word(bytes + end - 8) != Crc32(bytes + storage_offset, end - 8 - storage_offset))
        return RecordFound::broken;
    const uint32_t kinds_start = fixed - count;
    kinds.clear();
    uint32_t at = storage_offset + CheckByteCount(count);
    const char* unused = nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t kind = bytes[kinds_start + i];
        if (kind >= stored_kind_count ||
            !StepValue(bytes, StoredKind(kind), kinds_start, at, unused))
            return RecordFound::broken;
        kinds.push_back(StoredKind(kind));
    }
    if (at != kinds_start) return RecordFound::broken;
    values_end = kinds_start;
    return RecordFound::valid;
}

void RefreshLayoutRecord(uint8_t* bytes, uint32_t end) {
    PutWord(bytes + end - 8, Crc32(bytes + storage_offset, end - 8 - storage_offset));
}

}  // namespace Kvor
