// A saved edit-time block (damaged, short, or laid out for another
// description, with a layout record or without) plus a description, through
// every property operation in a random order: layout from the defaults,
// reads, value objects and their slots, rewrites with the host resizing (or
// refusing to), check boxes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "properties/editdata.h"
#include "properties/editdata_size.h"
#include "fuzz_support.h"
#include "load/language.h"
#include "properties/storage.h"
#include "properties/stored_form.h"

namespace {

const char* const builtin_description = R"({"Identifier": "FUZZ", "L": {"About": {"Name": "F"},
  "Properties": [
    {"Title": "S", "Type": "Editbox String", "DefaultState": "hello", "Case": "Upper", "ChkDefault": true},
    {"Title": "N", "Type": "Editbox Number", "DefaultState": -42},
    {"Title": "Cb", "Type": "Combo Box", "Items": ["one", "Two"], "DefaultState": "two"},
    {"Title": "Ck", "Type": "Checkbox", "DefaultState": true},
    {"Title": "T", "Type": "Text", "DefaultState": "read only"},
    {"Title": "E", "Type": "Edit button", "DefaultState": "press"},
    {"Title": "F", "Type": "Folder"}, {"Title": "Col", "Type": "Color", "DefaultState": 255},
    {"Title": "S2", "Type": "editbox string", "DefaultState": "", "Case": "lower"},
    {"Title": "U", "Type": "Unknown"}, {"Type": "FolderEnd"},
    {"Title": "N2", "Type": "Editbox Number", "DefaultState": "not a number"}]}})";

// The host of one input: it owns the edit-time block, whose header always
// tells its true length, and resizes it unless the input says it refuses.
struct FakeHost {
    FuzzedDataProvider* input = nullptr;
    plenar::HostServices services{};
    Kvor::EDITDATA* block = nullptr;
};
FakeHost* host = nullptr;

constexpr uint32_t header_size = sizeof(plenar::EditDataHeader);
// Every block a host hands over holds at least the fixed part before the
// stored properties: it was told so by the object's size, however old the
// save; the plug-in cannot learn a shorter block's length.
constexpr uint32_t fixed_size = offsetof(Kvor::EDITDATA, Tovrandi_Props);

Kvor::EDITDATA* NewBlock(const void* bytes, uint32_t length) {
    const uint32_t size = length < fixed_size ? fixed_size : length;
    auto* block = static_cast<Kvor::EDITDATA*>(calloc(size, 1));
    if (!block) abort();
    if (bytes) memcpy(block, bytes, length);
    block->Header.size = size;
    return block;
}

intptr_t PLENAR_STDCALL Service(void* edit_data, int32_t code, intptr_t a, intptr_t b, intptr_t) {
    if (code != plenar::service_resize_edit_data) return 0;
    fuzz::Require(edit_data == host->block && reinterpret_cast<void*>(a) == host->block,
                  "a resize names the host's current block");
    const auto size = static_cast<uint32_t>(b);
    fuzz::Require(size >= sizeof(Kvor::EDITDATA) - 4 && size < (1u << 24), "a sensible new size");
    if (host->input->ConsumeIntegral<uint8_t>() == 0xFF) return 0;  // the host refuses
    Kvor::EDITDATA* resized = NewBlock(nullptr, size);
    const uint32_t kept = host->block->Header.size < size ? host->block->Header.size : size;
    memcpy(reinterpret_cast<uint8_t*>(resized) + header_size,
           reinterpret_cast<uint8_t*>(host->block) + header_size, kept - header_size);
    resized->Header.size = size;
    free(host->block);
    host->block = resized;
    return reinterpret_cast<intptr_t>(resized);
}

uint32_t PickIndex(FuzzedDataProvider& in, uint32_t count) {
    if (in.ConsumeIntegral<uint8_t>() < 8) return in.ConsumeIntegral<uint32_t>();
    return in.ConsumeIntegralInRange<uint32_t>(0, count + 1);
}

bool WithinBlock(const uint8_t* bytes, uint32_t size) {
    const auto* begin = reinterpret_cast<const uint8_t*>(host->block);
    return bytes >= begin + offsetof(Kvor::EDITDATA, Tovrandi_Props) &&
           bytes + size <= begin + host->block->Header.size;
}

// The value object the sheet would get, through every slot, then freed.
void ExerciseValue(plenar::PropValue* value) {
    const uint32_t id = value->GetClassID();
    fuzz::Require(id == plenar::prop_class_dword || id == plenar::prop_class_wstr,
                  "a value is a DWRD or a STRW");
    plenar::PropValue* copy = value->CreateCopy();
    if (copy) {
        fuzz::Require(copy->GetClassID() == id && value->IsEqual(copy) == 1,
                      "a copy equals its original");
        fuzz::Require(value->CopyInto(copy) == 1, "a value copies into its own class");
        copy->Destroy(1);
    }
    fuzz::Require(value->CopyInto(nullptr) == 0 && value->IsEqual(nullptr) == 0,
                  "no target, no copy and no equality");
    value->Delete();
}

void Rewrite(FuzzedDataProvider& in, uint32_t index) {
    std::string bytes = in.ConsumeRandomLengthString(64);
    const uint8_t shape = in.ConsumeIntegral<uint8_t>() % 3;
    if (shape == 0)
        bytes.push_back('\0');  // a text as the sheet sends it
    else if (shape == 1)
        bytes.resize(4, '\0');  // a number
    Kvor::EDITDATA*& block = host->block;
    const bool stored = Kvor::RewriteProperty(&host->services, block, index, bytes.data(),
                                              static_cast<uint32_t>(bytes.size()));
    if (!stored) return;
    uint32_t size = 0;
    const uint8_t* now = Kvor::PropIndex(block, index, size);
    fuzz::Require(now && size == bytes.size() && memcmp(now, bytes.data(), size) == 0,
                  "a stored rewrite reads back as written");
    fuzz::Require(block->Tovrandi_Prop_Size <= block->Header.size, "the storage fits the block");
}

void Operate(FuzzedDataProvider& in, uint32_t count) {
    Kvor::EDITDATA*& block = host->block;
    const uint32_t index = PickIndex(in, count);
    switch (in.ConsumeIntegralInRange<int>(0, 6)) {
        case 0: Kvor::InitialisePropertiesFromJSON(&host->services, block); break;
        case 1: {
            uint32_t size = 0;
            if (const uint8_t* bytes = Kvor::PropIndex(block, index, size))
                fuzz::Require(WithinBlock(bytes, size), "a property's bytes lie in the block");
            break;
        }
        case 2:
            if (Kvor::Prop* value = Kvor::GetProperty(block, index)) ExerciseValue(value);
            break;
        case 3: Rewrite(in, index); break;
        case 4: {
            const bool state = in.ConsumeBool();
            if (Kvor::SetPropertyCheck(&host->services, block, index, state))
                fuzz::Require(Kvor::GetPropertyCheck(block, index) == state, "a check reads back");
            break;
        }
        case 5: (void)Kvor::GetPropertyCheck(block, index); break;
        case 6: (void)Kvor::PropertyStorageBuilt(block); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::string description =
        in.ConsumeBool() ? in.ConsumeRandomLengthString(4096) : std::string(builtin_description);
    // The builtin sheet with a layout record too.
    const size_t sheet = description.find(R"("Properties": [)");
    if (sheet != std::string::npos && in.ConsumeBool())
        description.insert(sheet, R"("LayoutRecord": true, )");
    json_value* root = fuzz::ParseDescription(description);
    if (!root) return 0;
    FakeHost fake;
    fake.input = &in;
    fake.services.service = &Service;
    host = &fake;
    {
        fuzz::ScopedSDK sdk(root);
        const json_value& properties = Kvor::CurrentLanguage()["Properties"];
        const uint32_t count = properties.type == json_type_array ? properties.length() : 0;
        if (in.ConsumeBool()) {
            // A block the host saved, its header's size corrected to its true length.
            const std::string saved = in.ConsumeRandomLengthString(1024);
            fake.block = NewBlock(saved.data(), static_cast<uint32_t>(saved.size()));
        } else {
            // A new instance, sized as the host is told; the layout of its
            // defaults must take exactly that size.
            const uint32_t told =
                Kvor::ComputeEditDataSize(Kvor::StoredProperties(), Kvor::RecordsLayout());
            fake.block = NewBlock(nullptr, told);
            if (in.ConsumeBool()) {
                Kvor::InitialisePropertiesFromJSON(&fake.services, fake.block);
                if (Kvor::PropertyStorageBuilt(fake.block))
                    fuzz::Require(fake.block->Tovrandi_Prop_Size == told,
                                  "the defaults' layout has the size the host was told");
            }
        }
        for (int steps = 0; steps < 48 && in.remaining_bytes() > 0; ++steps) Operate(in, count);
        free(fake.block);
    }
    host = nullptr;
    return 0;
}
