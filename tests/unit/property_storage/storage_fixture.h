// A description turned into an SDK object as Init would, and a stand-in host
// whose resize service always moves the block (or refuses), so the property
// storage can be laid out, read and rewritten as in the editor.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "../../support/stored_bytes.h"
#include "../support/description_support.h"
#include "load/language.h"
#include "properties/layout_record.h"
#include "properties/run_values.h"
#include "properties/storage.h"
#include "properties/stored_form.h"
#include "sdk.h"
#ifndef _WIN32
#include "platform/platform_recorder.h"
#include "platform/settings_file_recorder.h"
#endif

namespace storage_test {

using Kvor::EDITDATA;
using test_support::Bytes;

using Box = unit_support::ExpectedBox;

struct ServiceCall {
    int32_t code;
    void* edit_data;
    intptr_t block;
    intptr_t size;
};

class StorageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A description whose one language holds `properties` as its "Properties"
    // (and "LayoutRecord": true when `record` is set).
    void Describe(const std::string& properties);
    // A whole description as the library would ship it.
    void Load(const std::string& description);
    // A new host block: zeroed, its header's size word `size`, Width and
    // Height 150. It is `size` bytes long, but never shorter than the 28
    // bytes every block of the object has.
    EDITDATA* NewBlock(uint32_t size = 28);
    // A new block with the storage laid out from the defaults; boxes forgotten.
    EDITDATA* Built();
    // The storage from offset 28 to `Tovrandi_Prop_Size`.
    static Bytes Stored(const EDITDATA* block);
    // The whole block, as long as the host made it.
    Bytes Whole(const EDITDATA* block) const;

    void ExpectBoxes(const std::vector<Box>& expected);
    void ForgetBoxes();

public:
    // The stand-in host: its resize service and what it was asked.
    EDITDATA* Resize(void* block, intptr_t size);

    plenar::HostServices services{};
    bool record = false;
    bool refuse_resize = false;
    std::vector<ServiceCall> calls;
    std::map<void*, uint32_t> blocks;  // each block the host made and its length
    Kvor::SDK* sdk = nullptr;
};

using test_support::Join;
using test_support::NumberBytes;
using test_support::TextBytes;

// Storage bytes followed by the layout record of `kinds`.
Bytes WithRecord(Bytes storage, const std::vector<Kvor::StoredKind>& kinds);

// A value read back from the storage, as UTF-8 text or number; the object freed.
std::string TextOf(Kvor::Prop* value);
uint32_t NumberOf(Kvor::Prop* value);

}  // namespace storage_test
