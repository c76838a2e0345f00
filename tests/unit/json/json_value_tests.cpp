// What a successful parse builds, and the lookups over it.
#include <gtest/gtest.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include "json_test_support.h"

namespace {

struct tree_deleter {
    void operator()(json_value* v) const { json_release(v); }
};
using tree = std::unique_ptr<json_value, tree_deleter>;

tree parse_ok(const std::string& text, int options = 0) {
    const json_reader_settings settings{0, options, nullptr, nullptr, nullptr};
    std::string error;
    tree root(parse_text(text, &settings, &error));
    EXPECT_TRUE(root) << text << ": " << error;
    return root;
}

std::string bytes_of(const json_value& v) { return std::string(v.u.string.ptr, v.u.string.length); }

struct escape_case {
    const char* name;
    const char* text;
    std::string bytes;
};

std::ostream& operator<<(std::ostream& out, const escape_case& c) { return out << c.name; }

class StringEscape : public testing::TestWithParam<escape_case> {};

TEST_P(StringEscape, GivesBytes) {
    tree root = parse_ok(GetParam().text);
    ASSERT_TRUE(root);
    ASSERT_EQ(root->type, json_type_string);
    EXPECT_EQ(bytes_of(*root), GetParam().bytes);
    EXPECT_EQ(root->u.string.ptr[root->u.string.length], 0);
}

using namespace std::string_literals;

const escape_case escape_cases[] = {
    {"plain", R"("abc")", "abc"},
    {"empty", R"("")", ""},
    {"controls", R"("\b\f\n\r\t")", "\b\f\n\r\t"},
    {"quote_backslash_slash", R"("\"\\\/")", "\"\\/"},
    {"other_letter_stands_for_itself", R"("\q")", "q"},
    {"one_byte_unicode", R"("\u0041")", "A"},
    {"two_byte_unicode_lower_hex", R"("\u00e9")", "\xC3\xA9"},
    {"two_byte_unicode_upper_hex", R"("\u00E9")", "\xC3\xA9"},
    {"lowest_two_byte", R"("\u0080")", "\xC2\x80"},
    {"highest_two_byte", R"("\u07FF")", "\xDF\xBF"},
    {"lowest_three_byte", R"("\u0800")", "\xE0\xA0\x80"},
    {"highest_three_byte", R"("\uFFFF")", "\xEF\xBF\xBF"},
    // A high and a low surrogate escape together are one code point; a half
    // without its partner is U+FFFD.
    {"surrogate_pair", R"("\uD83D\uDE00")", "\xF0\x9F\x98\x80"},
    {"surrogate_pair_lower_hex", R"("\ud83d\ude00")", "\xF0\x9F\x98\x80"},
    {"lowest_surrogate_pair", R"("\uD800\uDC00")", "\xF0\x90\x80\x80"},
    {"highest_surrogate_pair", R"("\uDBFF\uDFFF")", "\xF4\x8F\xBF\xBF"},
    {"lone_high_surrogate", R"("\uD83Dx")", "\xEF\xBF\xBDx"},
    {"lone_low_surrogate", R"("\uDE00")", "\xEF\xBF\xBD"},
    {"high_surrogate_at_end", R"("a\uD83D")", "a\xEF\xBF\xBD"},
    {"high_surrogate_before_pair", R"("\uD83D\uD83D\uDE00")", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
    {"low_then_high_surrogate", R"("\uDE00\uD83D")", "\xEF\xBF\xBD\xEF\xBF\xBD"},
    {"high_surrogate_before_other_escapes", R"("\uD83D\u0041\uD83D\n")",
     "\xEF\xBF\xBD"
     "A\xEF\xBF\xBD\n"},
    {"raw_four_byte_utf8", "\"\xF0\x9F\x98\x80\"", "\xF0\x9F\x98\x80"},
    {"escaped_nul", R"("a\u0000b")", "a\0b"s},
    {"raw_line_feed_and_tab", "\"a\n\tb\"", "a\n\tb"},
    {"raw_utf8", "\"\xC3\xA9t\xC3\xA9\"", "\xC3\xA9t\xC3\xA9"},
};

INSTANTIATE_TEST_SUITE_P(Table, StringEscape, testing::ValuesIn(escape_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StringValue, WithEscapedNulReadsUpToIt) {
    tree root = parse_ok(R"("a\u0000b")");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->length(), 3u);
    EXPECT_STREQ(root->text(), "a");
}

struct integer_case {
    const char* text;
    int64_t value;
};

std::ostream& operator<<(std::ostream& out, const integer_case& c) { return out << c.text; }

class IntegerNumber : public testing::TestWithParam<integer_case> {};

TEST_P(IntegerNumber, IsRead) {
    tree root = parse_ok(GetParam().text);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->type, json_type_integer);
    EXPECT_EQ(root->u.integer, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Table, IntegerNumber,
                         testing::Values(integer_case{"-5", -5}, integer_case{"0", 0},
                                         integer_case{"-0", 0}, integer_case{"1234567", 1234567},
                                         integer_case{"9223372036854775807", INT64_MAX},
                                         integer_case{"-9223372036854775808", INT64_MIN}));

struct double_case {
    const char* text;
    double value;
};

std::ostream& operator<<(std::ostream& out, const double_case& c) { return out << c.text; }

class DoubleNumber : public testing::TestWithParam<double_case> {};

// Every number reads as the double nearest to it, so the comparison is exact.
TEST_P(DoubleNumber, IsTheNearestDouble) {
    tree root = parse_ok(GetParam().text);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->type, json_type_double);
    EXPECT_EQ(root->u.dbl, GetParam().value);
    EXPECT_EQ(std::signbit(root->u.dbl), std::signbit(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(
    Table, DoubleNumber,
    testing::Values(double_case{"0.5", 0.5}, double_case{"-0.5", -0.5},
                    double_case{"10e3", 10000.0}, double_case{"1.25E-2", 0.0125},
                    double_case{"1E+2", 100.0}, double_case{"0e5", 0.0}, double_case{"-0.0", -0.0},
                    double_case{"2.05", 2.05}, double_case{"-1.5e1", -15.0},
                    double_case{"0.1", 0.1}, double_case{"0.333333333333333333333333", 1.0 / 3.0},
                    double_case{"1e23", 1e23},
                    double_case{"123456789012345678e-10", 123456789012345678e-10},
                    double_case{"2.2250738585072011e-308", 2.2250738585072011e-308},
                    double_case{"1.7976931348623157e308", 1.7976931348623157e308},
                    // The smallest subnormal, and the halfway point above
                    // which a number rounds up to it.
                    double_case{"5e-324", 5e-324}, double_case{"2.4703282292062328e-324", 5e-324},
                    // An integer beyond 64 bits is a double.
                    double_case{"9223372036854775808", 9223372036854775808.0},
                    double_case{"-9223372036854775809", -9223372036854775809.0},
                    double_case{"18446744073709551617", 18446744073709551617.0},
                    double_case{"-18446744073709551615", -18446744073709551615.0},
                    double_case{"123456789012345678901.5", 123456789012345678901.5}));

TEST(DoubleNumber, BeyondTheIntegerRangeConvertsToTheNearestBound) {
    tree root = parse_ok("[9223372036854775808, -9223372036854775809, 123456789012345678901.5]");
    ASSERT_TRUE(root);
    EXPECT_EQ((*root)[0].integer(), INT64_MAX);
    EXPECT_EQ((*root)[1].integer(), INT64_MIN);
    EXPECT_EQ((*root)[2].integer(), INT64_MAX);
}

// Numbers beyond a double's range saturate: too large gives infinity of the
// number's sign, too small gives zero of its sign.
TEST(DoubleNumber, OutOfRangeSaturatesToInfinityOrZero) {
    const std::string zeros(400, '0');
    tree root = parse_ok("[1e999, -1e99999999999, 0e999, 1e-400, -1e-400, 1" + zeros + ", -0." +
                         zeros + "1, 2.4703282292062327e-324, 1.7976931348623159e308]");
    ASSERT_TRUE(root);
    const double expected[] = {HUGE_VAL, -HUGE_VAL, 0.0, 0.0, -0.0, HUGE_VAL, -0.0, 0.0, HUGE_VAL};
    ASSERT_EQ(root->length(), std::size(expected));
    for (uint32_t i = 0; i < root->length(); ++i) {
        const json_value& v = (*root)[int32_t(i)];
        EXPECT_EQ(v.type, json_type_double) << i;
        EXPECT_EQ(v.u.dbl, expected[i]) << i;
        EXPECT_EQ(std::signbit(v.u.dbl), std::signbit(expected[i])) << i;
    }
    EXPECT_EQ((*root)[0].integer(), INT64_MAX);
    EXPECT_EQ((*root)[1].integer(), INT64_MIN);
}

// Random doubles written with 17 significant digits read back bit for bit.
TEST(DoubleNumber, SeventeenDigitsReadBackExactly) {
    std::mt19937_64 random(15);
    std::vector<double> values;
    std::string text = "[";
    while (values.size() < 20000) {
        const uint64_t bits = random();
        double value;
        memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        char digits[40];
        const auto written =
            std::to_chars(digits, digits + sizeof digits, value, std::chars_format::scientific, 16);
        text += (values.empty() ? "" : ",") + std::string(digits, written.ptr);
        values.push_back(value);
    }
    tree root = parse_ok(text + "]");
    ASSERT_TRUE(root);
    ASSERT_EQ(root->length(), values.size());
    size_t wrong = 0;
    for (uint32_t i = 0; i < root->length(); ++i) {
        const json_value& v = (*root)[int32_t(i)];
        if (v.type == json_type_double && memcmp(&v.u.dbl, &values[i], sizeof(double)) == 0)
            continue;
        if (!wrong++) ADD_FAILURE() << "element " << i << " reads as " << v.u.dbl;
    }
    EXPECT_EQ(wrong, 0u);
}

TEST(Containers, AcceptTrailingCommas) {
    tree array = parse_ok("[1,2,]");
    ASSERT_TRUE(array);
    EXPECT_EQ(array->length(), 2u);
    EXPECT_EQ((*array)[1].integer(), 2);
    tree object = parse_ok(R"({"a":1,})");
    ASSERT_TRUE(object);
    EXPECT_EQ(object->length(), 1u);
    EXPECT_EQ(parse_ok("[1,]")->length(), 1u);
}

TEST(Containers, EmptyOnesHaveLengthZero) {
    tree root = parse_ok(R"({"a":[],"b":{},"c":""})");
    ASSERT_TRUE(root);
    EXPECT_EQ((*root)["a"].type, json_type_array);
    EXPECT_EQ((*root)["a"].length(), 0u);
    EXPECT_EQ((*root)["b"].type, json_type_object);
    EXPECT_EQ((*root)["b"].length(), 0u);
    EXPECT_STREQ((*root)["c"].text(), "");
}

TEST(Containers, KeepMemberOrderAndParents) {
    tree root = parse_ok(R"({"z":true,"a":[null,false]})");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->parent, nullptr);
    ASSERT_EQ(root->length(), 2u);
    EXPECT_STREQ(root->u.object.values[0].name, "z");
    EXPECT_STREQ(root->u.object.values[1].name, "a");
    const json_value& array = (*root)["a"];
    EXPECT_EQ(array.parent, root.get());
    EXPECT_EQ(array[0].type, json_type_null);
    EXPECT_EQ(array[0].parent, &array);
    EXPECT_EQ(array[1].type, json_type_boolean);
    EXPECT_FALSE(array[1].boolean());
    EXPECT_TRUE((*root)["z"].boolean());
}

TEST(Containers, NamesFollowEntriesInTheObjectBlock) {
    tree root = parse_ok(R"({"ab":1,"":2,"c":3})");
    ASSERT_TRUE(root);
    const json_object_entry* entries = root->u.object.values;
    EXPECT_EQ(entries[0].name, reinterpret_cast<const char*>(entries + 3));
    EXPECT_EQ(entries[1].name, entries[0].name + 3);
    EXPECT_EQ(entries[2].name, entries[1].name + 1);
}

// Names and string values, with escapes and without, each in its place.
TEST(Containers, KeepEveryStringInItsPlace) {
    tree root =
        parse_ok(R"({"a\"b": "x\\y", "plain": "v", "\u00e9": ["p", "q\n", {"\t": "r"}], "": ""})");
    ASSERT_TRUE(root);
    ASSERT_EQ(root->length(), 4u);
    const json_object_entry* entries = root->u.object.values;
    EXPECT_STREQ(entries[0].name, "a\"b");
    EXPECT_STREQ(entries[0].value->text(), "x\\y");
    EXPECT_STREQ(entries[1].name, "plain");
    EXPECT_STREQ(entries[1].value->text(), "v");
    EXPECT_STREQ(entries[2].name, "\xC3\xA9");
    const json_value& list = *entries[2].value;
    EXPECT_STREQ(list[0].text(), "p");
    EXPECT_STREQ(list[1].text(), "q\n");
    EXPECT_STREQ(list[2].u.object.values[0].name, "\t");
    EXPECT_STREQ(list[2]["\t"].text(), "r");
    EXPECT_STREQ(entries[3].name, "");
    EXPECT_STREQ(entries[3].value->text(), "");
}

TEST(Containers, KeepDuplicateKeysAndFindTheFirst) {
    tree root = parse_ok(R"({"k":1,"k":2})");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->length(), 2u);
    EXPECT_EQ((*root)["k"].integer(), 1);
    EXPECT_EQ(root->u.object.values[1].value->integer(), 2);
}

TEST(RelaxedCommas, AllowNameAfterValueAndStrayBrackets) {
    tree root = parse_ok(R"(]{"a":1 "b":]2})", json_relaxed_commas);
    ASSERT_TRUE(root);
    EXPECT_EQ((*root)["a"].integer(), 1);
    EXPECT_EQ((*root)["b"].integer(), 2);
    EXPECT_EQ(parse_error(R"({"a":1 "b":2})"), "1:7: Expected , before \"");
}

TEST(RelaxedCommas, StillNeedCommasBetweenElements) {
    EXPECT_EQ(parse_error("[1 2]", json_relaxed_commas), "1:3: Expected , before 2");
    EXPECT_EQ(parse_error("[1]]", json_relaxed_commas), "1:3: Trailing garbage: `]`");
}

TEST(Lookup, OnNoneGivesNone) {
    EXPECT_EQ(&json_none["a"], &json_none);
    EXPECT_EQ(&json_none[0], &json_none);
    EXPECT_EQ(&json_none["a"][3]["b"], &json_none);
    EXPECT_STREQ(json_none.text(), "");
    EXPECT_EQ(json_none.integer(), 0);
    EXPECT_FALSE(json_none.boolean());
    EXPECT_EQ(json_none.length(), 0u);
    EXPECT_EQ(json_none.type, json_type_none);
}

TEST(Lookup, WrongTypeOrRangeGivesNone) {
    tree root = parse_ok(R"({"list":[10,"s",2.9,-2.9,true],"n":5000000000})");
    ASSERT_TRUE(root);
    const json_value& list = (*root)["list"];
    EXPECT_EQ(&list["a"], &json_none);
    EXPECT_EQ(&(*root)[0], &json_none);
    EXPECT_EQ(&list[-1], &json_none);
    EXPECT_EQ(&list[5], &json_none);
    EXPECT_EQ(&list[1]["x"], &json_none);
    EXPECT_EQ(&(*root)["List"], &json_none);
    EXPECT_EQ(&(*root)[nullptr], &json_none);
    EXPECT_EQ(list[0].integer(), 10);
    EXPECT_STREQ(list[0].text(), "");
    EXPECT_EQ(list[1].integer(), 0);
    EXPECT_EQ(list[2].integer(), 2);
    EXPECT_EQ(list[3].integer(), -2);
    EXPECT_EQ(list[4].integer(), 0);
    EXPECT_FALSE(list[0].boolean());
    EXPECT_TRUE(list[4].boolean());
    // The count read without a type check is the low half of an integer.
    EXPECT_EQ((*root)["n"].length(), uint32_t(5000000000 & 0xFFFFFFFF));
}

TEST(Release, OfNullDoesNothing) {
    json_release(nullptr);
    json_release_with(nullptr, nullptr);
}

}  // namespace
