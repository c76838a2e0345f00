// Rewriting a text property in the edit-time data, for blocks of 1 KB to
// 1 MB: a text of a new length has the host resize (move) the block. The
// baseline is the least such a rewrite can do: the host's resize of the block
// plus one copy of its bytes. Cost per byte must stay flat as blocks grow,
// so the ratio must too. A rewrite to the same length is shown beside it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "json/json.h"
#include "load/language.h"
#include "properties/storage.h"
#include "sdk.h"
#include "timing.h"

using Kvor::EDITDATA;

namespace {

constexpr int repetitions = 9;

// A host that moves the block on every resize, as the editor's may.
intptr_t PLENAR_STDCALL Serve(void*, int32_t code, intptr_t block, intptr_t size, intptr_t) {
    if (code != plenar::service_resize_edit_data) return 0;
    auto* old = reinterpret_cast<EDITDATA*>(block);
    auto* moved = static_cast<EDITDATA*>(malloc(size_t(size)));
    memcpy(moved, old, std::min<size_t>(size_t(size), old->Header.size));
    moved->Header.size = uint32_t(size);
    free(old);
    return reinterpret_cast<intptr_t>(moved);
}

json_value* Parse(const std::string& text) {
    char* copy = static_cast<char*>(malloc(text.size() + 1));
    memcpy(copy, text.c_str(), text.size() + 1);
    return json_read(nullptr, copy, text.size(), nullptr, 0);
}

// The least a rewrite to a new length costs: the resize, one copy.
__attribute__((noinline)) EDITDATA* BaselineRewrite(plenar::HostServices* services, EDITDATA* block,
                                                    uint32_t size,
                                                    const std::vector<uint8_t>& scratch) {
    auto* resized = reinterpret_cast<EDITDATA*>(services->service(
        block, plenar::service_resize_edit_data, reinterpret_cast<intptr_t>(block), size, 0));
    memcpy(reinterpret_cast<uint8_t*>(resized) + 28, scratch.data(), size - 28);
    return resized;
}

}  // namespace

int main() {
    plenar::HostServices services{};
    services.service = &Serve;
    const std::string description =
        R"({"Identifier": "TEST", "UK English": {"About": {"Name": "Test"},
      "Properties": [{"Title": "n", "Type": "Editbox Number", "DefaultState": 5},
                     {"Title": "s", "Type": "Editbox String", "DefaultState": "x"},
                     {"Title": "m", "Type": "Editbox Number", "DefaultState": 6}]}})";
    auto* sdk = new Kvor::SDK(nullptr, Parse(description));

    bench::TableHeader();
    for (uint32_t kb : {1u, 4u, 16u, 64u, 256u, 1024u}) {
        const uint32_t text_length = kb * 1024 - 64;
        std::string texts[2] = {std::string(text_length, 'a'), std::string(text_length + 1, 'b')};
        auto* block = static_cast<EDITDATA*>(calloc(1, 28));
        block->Header.size = 28;
        Kvor::InitialisePropertiesFromJSON(&services, block);
        if (!Kvor::RewriteProperty(&services, block, 1, texts[0].c_str(), text_length + 1))
            return 1;
        const int inner = std::max(4, int(4096 / kb));
        int flip = 1;
        double ours = bench::MedianSeconds(repetitions,
                                           [&] {
                                               for (int i = 0; i < inner; ++i, flip ^= 1)
                                                   Kvor::RewriteProperty(
                                                       &services, block, 1, texts[flip].c_str(),
                                                       uint32_t(texts[flip].size()) + 1);
                                           }) /
                      inner;
        double same = bench::MedianSeconds(repetitions,
                                           [&] {
                                               for (int i = 0; i < inner; ++i)
                                                   Kvor::RewriteProperty(
                                                       &services, block, 1, texts[flip ^ 1].c_str(),
                                                       uint32_t(texts[flip ^ 1].size()) + 1);
                                           }) /
                      inner;
        std::vector<uint8_t> scratch(block->Header.size + 1, 'c');
        uint32_t sizes[2] = {block->Header.size, block->Header.size + 1};
        int which = 1;
        double base = bench::MedianSeconds(repetitions,
                                           [&] {
                                               for (int i = 0; i < inner; ++i, which ^= 1)
                                                   block = BaselineRewrite(&services, block,
                                                                           sizes[which], scratch);
                                           }) /
                      inner;
        const std::string block_size = std::to_string(kb) + " KB";
        bench::Row("text property rewrite, new length, " + block_size + " (ns) vs resize + copy",
                   ours * 1e9, base * 1e9);
        bench::Row("text property rewrite, same length, " + block_size + " (ns) vs resize + copy",
                   same * 1e9, base * 1e9);
        free(block);
    }
    delete sdk;
    ::SDK = nullptr;
    return 0;
}
