#include "storage_fixture.h"

#include <algorithm>

#include "text/converters.h"

namespace storage_test {
namespace {

StorageTest* active = nullptr;

intptr_t PLENAR_STDCALL Serve(void* edit_data, int32_t code, intptr_t a, intptr_t b, intptr_t) {
    active->calls.push_back({code, edit_data, a, b});
    if (code != plenar::service_resize_edit_data) return 0;
    return reinterpret_cast<intptr_t>(active->Resize(reinterpret_cast<void*>(a), b));
}

}  // namespace

void StorageTest::SetUp() {
    active = this;
    services.service = Serve;
    ::SDK = nullptr;
    Kvor::CachedLanguage = &json_none;
#ifndef _WIN32
    Kvor::SetSettingsFile(Kvor::SettingsRead::absent);
#endif
    ForgetBoxes();
}

void StorageTest::TearDown() {
    for (const auto& entry : blocks) free(entry.first);
    delete sdk;
    ::SDK = nullptr;
    Kvor::CachedLanguage = &json_none;
    active = nullptr;
}

void StorageTest::Describe(const std::string& properties) {
    Load(R"({"Identifier": "TEST", "UK English": {"About": {"Name": "Test"}, )" +
         std::string(record ? R"("LayoutRecord": true, )" : "") + R"("Properties": )" + properties +
         "}}");
}

void StorageTest::Load(const std::string& description) {
    delete sdk;
    ::SDK = nullptr;
    Kvor::CachedLanguage = &json_none;
    sdk = new Kvor::SDK(nullptr, unit_support::ParseDescription(description));
    ASSERT_EQ(::SDK, sdk);
    ForgetBoxes();  // what the descriptors had to say is not this code's
}

EDITDATA* StorageTest::NewBlock(uint32_t size) {
    const uint32_t length = std::max(size, uint32_t(offsetof(EDITDATA, Tovrandi_Props)));
    auto* block = static_cast<EDITDATA*>(calloc(1, length));
    block->Header.size = size;
    block->Width = block->Height = 150;
    blocks[block] = length;
    return block;
}

EDITDATA* StorageTest::Built() {
    EDITDATA* block = NewBlock();
    Kvor::InitialisePropertiesFromJSON(&services, block);
    EXPECT_NE(block->Tovrandi_Prop_Size, 0u);
    calls.clear();
    ForgetBoxes();
    return block;
}

EDITDATA* StorageTest::Resize(void* block, intptr_t size) {
    EXPECT_EQ(blocks.count(block), 1u) << "resize of a block the host does not know";
    if (refuse_resize || !blocks.count(block) || size < 20) return nullptr;
    auto* moved = static_cast<EDITDATA*>(calloc(1, size_t(size)));
    memcpy(moved, block, std::min<size_t>(size_t(size), blocks[block]));
    moved->Header.size = uint32_t(size);
    blocks.erase(block);
    free(block);
    blocks[moved] = uint32_t(size);
    return moved;
}

Bytes StorageTest::Stored(const EDITDATA* block) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(block);
    return Bytes(bytes + 28, bytes + block->Tovrandi_Prop_Size);
}

Bytes StorageTest::Whole(const EDITDATA* block) const {
    const auto* bytes = reinterpret_cast<const uint8_t*>(block);
    return Bytes(bytes, bytes + blocks.at(const_cast<EDITDATA*>(block)));
}

void StorageTest::ExpectBoxes(const std::vector<Box>& expected) {
    unit_support::ExpectRecordedBoxes(expected);
    ForgetBoxes();
}

void StorageTest::ForgetBoxes() {
#ifndef _WIN32
    Kvor::Platform::ClearRecords();
#endif
}

Bytes WithRecord(Bytes storage, const std::vector<Kvor::StoredKind>& kinds) {
    Kvor::AppendLayoutRecord(storage, kinds);
    return storage;
}

std::string TextOf(Kvor::Prop* value) {
    EXPECT_NE(value, nullptr);
    if (!value) return "<null>";
    EXPECT_EQ(value->GetClassID(), plenar::prop_class_wstr);
    auto* text = static_cast<Kvor::Prop_WStr*>(value);
    std::string converted = Kvor::WideToUTF8(text->Text);
    value->Delete();
    return converted;
}

uint32_t NumberOf(Kvor::Prop* value) {
    EXPECT_NE(value, nullptr);
    if (!value) return 0xDEADBEEF;
    EXPECT_EQ(value->GetClassID(), plenar::prop_class_dword);
    const uint32_t number = static_cast<Kvor::Prop_UInt*>(value)->Value;
    value->Delete();
    return number;
}

}  // namespace storage_test
