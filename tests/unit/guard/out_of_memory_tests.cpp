// Out of memory at every request that loading a description makes, and at
// every request of the property sheet's round trip: each refused request
// ends in the call's failure value and a box, never in an exception, a half
// built object that ::SDK points to, a changed block or a leak (the leak
// checker ends the program).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "../../support/stored_bytes.h"
#include "../support/description_support.h"
#include "failing_allocator.h"
#include "load/language.h"
#include "platform/settings_file_recorder.h"
#include "properties/editdata_size.h"
#include "properties/storage.h"
#include "records/ace_records.h"
#include "sdk.h"
#include "text/guard.h"
#include "text/report.h"

namespace {

namespace message = Kvor::message;
using test_support::Bytes;
using test_support::Join;
using test_support::TextBytes;

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class OutOfMemory : public ::testing::Test {
protected:
    void SetUp() override {
        Forget();
        Kvor::SetSettingsFile(Kvor::SettingsRead::absent);
        Kvor::AllocateRecordMemory = failing_allocator::RecordMemory;
    }
    void TearDown() override {
        failing_allocator::Refuse(0);
        Forget();
        Kvor::AllocateRecordMemory = std::calloc;
    }
    void Forget() {
        sdk.reset();
        ::SDK = nullptr;
        Kvor::CachedLanguage = &json_none;
        Kvor::Platform::ClearRecords();
    }

    // What Init does with a description's text: a copy for the reader, the
    // tree built into the SDK object in place (Init's is a static), all
    // inside the guard Initialize runs it in.
    int32_t Load(const std::string& text) {
        return Kvor::Guarded(-1, [&] {
            std::string error;
            json_value* root = unit_support::ParseDescription(
                text, failing_allocator::ReaderSettings(), &error, true);
            if (!root) {
                Kvor::Report(message::description_not_json, error.c_str());
                return -1;
            }
            sdk.emplace(nullptr, root);
            return 0;
        });
    }

    std::optional<Kvor::SDK> sdk;
};

bool IsRecordWithoutMemory(const Kvor::Platform::RecordedBox& box) {
    for (const char* kind : {"action", "condition", "expression"})
        if (box.text == Kvor::MessageText(message::record_no_memory, kind) &&
            box.caption ==
                Kvor::MessageCaption(message::record_no_memory, Kvor::ModuleBaseName(), kind))
            return true;
    return false;
}

// The sizes of everything the object holds, to compare with a load that was
// refused nothing.
std::vector<size_t> Shape(const Kvor::SDK& built) {
    return {built.Actions.Records.size(),     built.Conditions.Records.size(),
            built.Expressions.Records.size(), built.Actions.Routines.size(),
            built.Conditions.Routines.size(), built.Expressions.Routines.size(),
            built.Actions.Members.size(),     built.Conditions.Members.size(),
            built.Expressions.Members.size(), built.Actions.Plans.size(),
            built.Conditions.Plans.size(),    built.Expressions.Plans.size(),
            built.EdittimeProperties.size()};
}

TEST_F(OutOfMemory, AtEveryRequestOfLoadingADescription) {
    for (const std::string& path :
         {std::string(LUMBRA_DESCRIPTION),
          std::string(LUMBRA_TEST_DESCRIPTIONS) + "/every-property.json"}) {
        SCOPED_TRACE(path);
        const std::string text = ReadFile(path);
        ASSERT_EQ(Load(text), 0);
        const std::vector<size_t> whole = Shape(*sdk);
        const size_t boxes_of_a_whole_load = Kvor::Platform::RecordedBoxes().size();
        Forget();

        size_t request = 1;
        for (;; ++request) {
            SCOPED_TRACE(request);
            failing_allocator::Refuse(request);
            const int32_t result = Load(text);
            const bool refused = failing_allocator::Refused();
            failing_allocator::Refuse(0);
            const auto& boxes = Kvor::Platform::RecordedBoxes();
            if (result == 0) {
                // Finished all the same: only a record may have been left a
                // placeholder, and said so.
                ASSERT_TRUE(sdk.has_value());
                EXPECT_EQ(::SDK, &*sdk);
                EXPECT_EQ(Shape(*sdk), whole);
                if (refused) {
                    ASSERT_EQ(boxes.size(), boxes_of_a_whole_load + 1);
                    EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(), IsRecordWithoutMemory));
                }
            } else {
                EXPECT_EQ(result, -1);
                EXPECT_FALSE(sdk.has_value());
                EXPECT_EQ(::SDK, nullptr);
                EXPECT_EQ(Kvor::CachedLanguage, &json_none);
                ASSERT_FALSE(boxes.empty());
                const std::string last = boxes.back().caption;
                EXPECT_TRUE(last == message::out_of_memory.caption ||
                            last == Kvor::MessageCaption(message::description_not_json,
                                                         Kvor::ModuleBaseName()))
                    << last << ": " << boxes.back().text;
            }
            Forget();
            if (!refused) break;  // the whole load asked for fewer
        }
        EXPECT_GT(request, 100u) << "too few requests for a whole load";
    }
}

// The host's resize service: the block always moves, as a real host's may.
intptr_t PLENAR_STDCALL Resize(void*, int32_t code, intptr_t block, intptr_t size, intptr_t) {
    if (code != plenar::service_resize_edit_data) return 0;
    auto* old = reinterpret_cast<Kvor::EDITDATA*>(block);
    auto* moved = static_cast<Kvor::EDITDATA*>(std::calloc(1, size_t(size)));
    std::memcpy(moved, old, std::min<size_t>(old->Header.size, size_t(size)));
    moved->Header.size = uint32_t(size);
    std::free(old);
    return reinterpret_cast<intptr_t>(moved);
}

Bytes Stored(const Kvor::EDITDATA* block) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(block);
    return Bytes(bytes + 28, bytes + block->Header.size);
}

const Bytes longer_name = TextBytes("a longer name");

void RoundTrip(plenar::HostServices& services, Kvor::EDITDATA*& block) {
    Kvor::Guarded([&] { Kvor::InitialisePropertiesFromJSON(&services, block); });
    Kvor::Guarded([&] {
        if (Kvor::Prop* value = Kvor::GetProperty(block, 1)) value->Delete();
    });
    Kvor::Guarded([&] {
        Kvor::RewriteProperty(&services, block, 1, longer_name.data(),
                              uint32_t(longer_name.size()));
    });
    Kvor::Guarded([&] {
        if (Kvor::Prop* value = Kvor::GetProperty(block, 4)) value->Delete();
    });
}

TEST_F(OutOfMemory, AtEveryRequestOfThePropertySheet) {
    ASSERT_EQ(Load(ReadFile(std::string(LUMBRA_TEST_DESCRIPTIONS) + "/every-property.json")), 0);
    plenar::HostServices services{};
    services.service = Resize;
    const uint32_t size = Kvor::EditDataSize(Kvor::CurrentLanguage()["Properties"], false);
    const Bytes tail = Join({{5, 0, 0, 0, 1, 0, 0, 0}, TextBytes("LOUD")});
    const Bytes defaults = Join({{0x11}, TextBytes("abc"), tail});
    const Bytes rewritten = Join({{0x11}, longer_name, tail});
    const Bytes not_laid_out(size - 28, 0);

    for (size_t request = 1;; ++request) {
        SCOPED_TRACE(request);
        Kvor::Platform::ClearRecords();
        auto* block = static_cast<Kvor::EDITDATA*>(std::calloc(1, size));
        block->Header.size = size;
        failing_allocator::Refuse(request);
        RoundTrip(services, block);
        const bool refused = failing_allocator::Refused();
        failing_allocator::Refuse(0);
        const Bytes stored = Stored(block);
        EXPECT_TRUE(stored == not_laid_out || stored == defaults || stored == rewritten);
        if (stored != not_laid_out) {
            EXPECT_EQ(block->Tovrandi_Prop_Size, block->Header.size);
        }
        const auto& boxes = Kvor::Platform::RecordedBoxes();
        if (refused) {
            // Steps after a refused layout find no storage and say so too.
            EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(), [](const auto& box) {
                return box.text == message::out_of_memory.text;
            }));
        } else {
            EXPECT_EQ(stored, rewritten);
        }
        std::free(block);
        if (!refused) break;
    }
}

}  // namespace
