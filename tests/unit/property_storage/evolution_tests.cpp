// Saved blocks read under later descriptions, against a model of what each
// entry must read: with a layout record, the value saved for its position
// while its stored kind stays, else its default, a kind that changed named
// in one message by the write that drops its value. The evolutions authors
// make, one by one, then a random run of edits, saves, loads and evolutions
// (60 scenarios of a fixed seed; LUMBRA_MODEL_SECONDS and LUMBRA_MODEL_SEED
// ask for a longer run of another).
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>

#include "storage_fixture.h"

namespace storage_test {
namespace {

using Kvor::StoredKind;

enum class Kind : uint8_t { text, number, choice, colour, check, label, folder, other };
constexpr Kind kinds[] = {Kind::text,  Kind::number, Kind::choice, Kind::colour,
                          Kind::check, Kind::label,  Kind::folder, Kind::other};
constexpr const char* items[] = {"a", "b", "c"};
constexpr uint32_t item_count = 3;

struct Entry {
    Kind kind;
    uint32_t number = 0;  // the default number, colour or item position
    std::string text;     // the default text
    bool ticked = false;  // the default box
};
using Description = std::vector<Entry>;

StoredKind StoredAs(Kind kind) {
    switch (kind) {
        case Kind::text: return StoredKind::text;
        case Kind::number: return StoredKind::number;
        case Kind::choice: return StoredKind::choice;
        case Kind::colour: return StoredKind::colour;
        default: return StoredKind::nothing;
    }
}

bool KeepsValue(Kind kind) { return StoredAs(kind) != StoredKind::nothing; }

std::string Json(const Entry& entry) {
    const std::string ticked = entry.ticked ? "true" : "false";
    const std::string chk = R"(, "ChkDefault": )" + ticked + "}";
    const std::string number = std::to_string(entry.number);
    switch (entry.kind) {
        case Kind::text:
            return R"({"Type": "Editbox String", "DefaultState": ")" + entry.text + "\"" + chk;
        case Kind::number: return R"({"Type": "Editbox Number", "DefaultState": )" + number + chk;
        case Kind::choice:
            return R"({"Type": "Combo Box", "Items": ["a", "b", "c"], "DefaultState": ")" +
                   std::string(items[entry.number]) + "\"" + chk;
        case Kind::colour: return R"({"Type": "Color", "DefaultState": )" + number + chk;
        case Kind::check: return R"({"Type": "Checkbox", "DefaultState": )" + ticked + "}";
        case Kind::label: return R"({"Type": "Text", "DefaultState": ")" + entry.text + "\"}";
        case Kind::folder: return R"({"Type": "Folder"})";
        case Kind::other: return R"({"Type": "Edit slider"})";
    }
    return "";
}

std::string Json(const Description& description) {
    std::string list = "[";
    for (const Entry& entry : description) list += (list.size() > 1 ? ", " : "") + Json(entry);
    return list + "]";
}

struct Value {
    std::string text;
    uint32_t number = 0;
    bool ticked = false;
};

Value DefaultOf(const Entry& entry) {
    const bool box = KeepsValue(entry.kind) || entry.kind == Kind::check;
    return {entry.text, entry.number, box && entry.ticked};
}

// What the block holds in the model: the entries it was last laid out for.
struct SavedEntry {
    StoredKind kind;
    Value value;
};
using Saved = std::vector<SavedEntry>;

Value Expected(const Saved& saved, const Description& now, size_t i) {
    if (i < saved.size() && saved[i].kind == StoredAs(now[i].kind)) return saved[i].value;
    return DefaultOf(now[i]);
}

// The message a write shows when it lays the block out for `now`, or "".
std::string KindChanges(const Saved& saved, const Description& now) {
    std::string names;
    for (size_t i = 0; i < saved.size() && i < now.size(); ++i)
        if (saved[i].kind != StoredAs(now[i].kind))
            names += (names.empty() ? "#" : ", #") + std::to_string(i);
    return names;
}

struct Figures {
    uint64_t scenarios = 0, appends = 0, removals = 0, kind_changes = 0, inserts = 0;
    uint64_t writes = 0, round_trips = 0, reads = 0, reported = 0;
};

class Evolution : public StorageTest {
protected:
    void Start(const Description& description) {
        now = description;
        Describe(Json(now));
        block = Built();
        saved.clear();
        for (const Entry& entry : now) saved.push_back({StoredAs(entry.kind), DefaultOf(entry)});
    }
    void Evolve(const Description& description) {
        now = description;
        Describe(Json(now));
    }
    // A write lays the block out for the current entries first, in the model too.
    void Write(size_t i, const Value& value, bool box) {
        std::vector<Box> boxes;
        const std::string changed = KindChanges(saved, now);
        if (!changed.empty()) {
            boxes.push_back(
                unit_support::Shown(Kvor::message::properties_kind_changed, changed.c_str()));
            ++figures.reported;
        }
        Saved laid_out;
        for (size_t j = 0; j < now.size(); ++j)
            laid_out.push_back({StoredAs(now[j].kind), Expected(saved, now, j)});
        saved = laid_out;
        const uint32_t index = uint32_t(i);
        if (box) {
            ASSERT_TRUE(Kvor::SetPropertyCheck(&services, block, index, value.ticked));
            saved[i].value.ticked = value.ticked;
        } else {
            const Bytes bytes =
                now[i].kind == Kind::text ? TextBytes(value.text) : NumberBytes(value.number);
            ASSERT_TRUE(Kvor::RewriteProperty(&services, block, index, bytes.data(),
                                              uint32_t(bytes.size())));
            saved[i].value.text = value.text;
            saved[i].value.number = value.number;
        }
        ++figures.writes;
        ExpectBoxes(boxes);
    }
    // The host saves the block with the project; a fresh process loads both.
    void SaveAndLoad() {
        const Bytes whole = Whole(block);
        Describe(Json(now));
        EDITDATA* loaded = NewBlock(uint32_t(whole.size()));
        std::memcpy(loaded, whole.data(), whole.size());
        blocks.erase(block);
        free(block);
        block = loaded;
        ++figures.round_trips;
    }
    // Every entry reads as the model says, and reading changes nothing.
    void Check() {
        const Bytes before = Whole(block);
        for (size_t i = 0; i < now.size(); ++i) {
            SCOPED_TRACE("entry " + std::to_string(i) + " of " + Json(now));
            const uint32_t index = uint32_t(i);
            const Value expected = Expected(saved, now, i);
            EXPECT_EQ(Kvor::GetPropertyCheck(block, index), expected.ticked);
            switch (now[i].kind) {
                case Kind::text:
                    EXPECT_EQ(TextOf(Kvor::GetProperty(block, index)), expected.text);
                    break;
                case Kind::label:  // the description's text, never stored
                    EXPECT_EQ(TextOf(Kvor::GetProperty(block, index)), now[i].text);
                    break;
                case Kind::number:
                case Kind::choice:
                case Kind::colour:
                    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, index)), expected.number);
                    EXPECT_EQ(Kvor::StoredNumber(block, index, 0xFEEDu), expected.number);
                    break;
                default: break;
            }
            ++figures.reads;
        }
        EXPECT_EQ(Whole(block), before);
        ExpectBoxes({});
    }

    EDITDATA* block = nullptr;
    Description now;
    Saved saved;
    Figures figures;
};

// --- the evolutions authors make ---------------------------------------------

Entry Text(const char* text) { return {Kind::text, 0, text, false}; }
Entry Number(uint32_t number) { return {Kind::number, number, "", false}; }
Entry Colour(uint32_t colour) { return {Kind::colour, colour, "", false}; }
Entry Box(bool ticked) { return {Kind::check, 0, "", ticked}; }

Description Checks(size_t count) { return Description(count, Box(false)); }
Description Plus(Description first, const Description& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

struct EvolutionCase {
    const char* name;
    Description saved;
    std::vector<Description> later;  // released one after another, the block not written
};

void PrintTo(const EvolutionCase& evolution, std::ostream* out) { *out << evolution.name; }

class Evolutions : public Evolution, public ::testing::WithParamInterface<EvolutionCase> {};

// The user's values, then each later description read, then a write.
TEST_P(Evolutions, KeepEverySavedValueWithTheRecord) {
    record = true;
    Start(GetParam().saved);
    for (size_t i = 0; i < now.size(); ++i) {
        const uint32_t number =
            now[i].kind == Kind::choice ? uint32_t(i) % item_count : 1000 + uint32_t(i);
        if (KeepsValue(now[i].kind)) Write(i, {"user " + std::to_string(i), number}, false);
        Write(i, {"", 0, i % 3 != 1}, true);
    }
    for (const Description& later : GetParam().later) {
        Evolve(later);
        Check();
    }
    Write(0, {"", 0, true}, true);
    Check();
}

INSTANTIATE_TEST_SUITE_P(
    Authors, Evolutions,
    ::testing::Values(
        EvolutionCase{"AppendAcrossEightEntries",
                      Plus({Text("hello")}, Checks(7)),
                      {Plus(Plus({Text("hello")}, Checks(7)), Checks(7))}},
        EvolutionCase{"RemoveAcrossACheckByte",
                      Plus({Text("abc"), Number(42)}, Checks(7)),
                      {{Text("abc"), Number(42)}}},
        EvolutionCase{"RemoveWithColours",
                      {Colour(255), Number(7), Colour(65280), Text("tail")},
                      {{Colour(255), Number(7), Colour(65280)}}},
        EvolutionCase{
            "AppendATickedBox", {Text("a"), Number(1)}, {{Text("a"), Number(1), Box(true)}}},
        EvolutionCase{
            "RemoveThenAppend", {Text("a"), Number(1)}, {{Text("a")}, {Text("a"), Colour(99)}}},
        EvolutionCase{"ChangeAKind", {Number(5), Text("t")}, {{Text("five"), Text("t")}}},
        EvolutionCase{
            "InsertAnEntry", {Number(5), Text("t")}, {{Text("new"), Number(5), Text("t")}}}),
    [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32  // the settings file is a stand-in of the native build
// Every language section lays the block out by the first one's entries, so
// an edit under another language keeps the values only the first one has.
TEST_F(Evolution, EveryLanguageStoresTheFirstSectionsEntries) {
    const std::string english = Json(Description{Text("en"), Number(1), Colour(2)});
    const std::string french = Json(Description{Text("fr"), Box(true)});
    const std::string description =
        R"({"Identifier": "TEST", "UK English": {"About": {"Name": "E"}, "Properties": )" +
        english + R"(}, "French": {"About": {"Name": "F"}, "Properties": )" + french + "}}";
    Kvor::SetSettingsFile(Kvor::SettingsRead::read, "Languages=French\r\n");
    Load(description);
    block = Built();
    EXPECT_EQ(Stored(block), Join({{0x00}, TextBytes("en"), NumberBytes(1), NumberBytes(2)}));
    ASSERT_TRUE(Kvor::RewriteProperty(&services, block, 1, NumberBytes(42).data(), 4));
    const Bytes text = TextBytes(
        "\xc3\xa9"
        "crit");
    ASSERT_TRUE(Kvor::RewriteProperty(&services, block, 0, text.data(), uint32_t(text.size())));
    Kvor::SetSettingsFile(Kvor::SettingsRead::absent);
    Load(description);
    EXPECT_EQ(TextOf(Kvor::GetProperty(block, 0)),
              "\xc3\xa9"
              "crit");
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 1)), 42u);
    EXPECT_EQ(NumberOf(Kvor::GetProperty(block, 2)), 2u);
    ExpectBoxes({});
}
#endif

// --- random scenarios -------------------------------------------------------

class RandomRun {
public:
    explicit RandomRun(uint32_t seed) : random_(seed) {}
    uint32_t Below(uint32_t bound) { return bound ? Number() % bound : 0; }
    bool OneIn(uint32_t n) { return Below(n) == 0; }
    uint32_t Number() { return static_cast<uint32_t>(random_()); }
    std::string Word() {
        std::string word;
        for (uint32_t n = Below(9); n > 0; --n)
            word += OneIn(8) ? std::string("\xc3\xbc") : std::string(1, char('a' + Below(26)));
        return word;
    }
    Entry AnyEntry() {
        Entry entry{kinds[Below(8)], Number(), Word(), OneIn(3)};
        if (entry.kind == Kind::choice) entry.number = Below(item_count);
        return entry;
    }
    Description AnyDescription(uint32_t most) {
        Description description;
        for (uint32_t n = Below(most + 1); n > 0; --n) description.push_back(AnyEntry());
        return description;
    }

private:
    std::mt19937 random_;
};

// Without a record only what a block's bytes can tell is checked: edits,
// saves and loads under the description that laid it out.
TEST_F(Evolution, ModelOfEditsSavesLoadsAndEvolutions) {
    // make fuzz runs it for a while with another seed each time.
    const char* seconds = std::getenv("LUMBRA_MODEL_SECONDS");
    const char* seed = std::getenv("LUMBRA_MODEL_SEED");
    const auto until = std::chrono::steady_clock::now() +
                       std::chrono::seconds(seconds ? std::strtoul(seconds, nullptr, 10) : 0);
    RandomRun run(seed ? uint32_t(std::strtoul(seed, nullptr, 10)) : 20261209);
    const auto more = [&](uint64_t scenario) {
        return seconds ? std::chrono::steady_clock::now() < until : scenario < 60;
    };
    for (uint64_t scenario = 0; more(scenario) && !HasFailure(); ++scenario) {
        SCOPED_TRACE("scenario " + std::to_string(scenario));
        record = scenario % 4 != 3;
        Start(run.AnyDescription(20));
        ++figures.scenarios;
        for (int step = 0; step < 16 && !HasFailure(); ++step) {
            const uint32_t choice = run.Below(10);
            if (choice < 5 && !now.empty()) {
                const size_t i = run.Below(uint32_t(now.size()));
                const bool box = !KeepsValue(now[i].kind) || run.OneIn(3);
                const uint32_t number =
                    now[i].kind == Kind::choice ? run.Below(item_count) : run.Number();
                Write(i, {run.Word(), number, run.OneIn(2)}, box);
            } else if (choice < 7) {
                SaveAndLoad();
            } else if (record) {
                Description next = now;
                const uint32_t at = run.Below(uint32_t(next.size()) + 1);
                switch (run.Below(4)) {
                    case 0:
                        for (uint32_t n = 1 + run.Below(9); n > 0; --n)
                            next.push_back(run.AnyEntry());
                        ++figures.appends;
                        break;
                    case 1:
                        next.resize(next.size() - run.Below(uint32_t(next.size()) + 1));
                        ++figures.removals;
                        break;
                    case 2:
                        if (at < next.size()) next[at] = run.AnyEntry();
                        ++figures.kind_changes;
                        break;
                    default:
                        next.insert(next.begin() + at, run.AnyEntry());
                        ++figures.inserts;
                        break;
                }
                Evolve(next);
            }
            Check();
        }
    }
    std::cout << "model (seed " << (seed ? seed : "fixed") << "): " << figures.scenarios
              << " scenarios, "
              << figures.appends + figures.removals + figures.kind_changes + figures.inserts
              << " evolutions (" << figures.appends << " appends, " << figures.removals
              << " removals from the end, " << figures.kind_changes << " entries replaced, "
              << figures.inserts << " inserts), " << figures.writes << " writes, "
              << figures.round_trips << " saves and loads, " << figures.reads << " entries read, "
              << figures.reported << " kind changes reported\n";
}

}  // namespace
}  // namespace storage_test
