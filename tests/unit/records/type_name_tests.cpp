// Type names to host codes: every name of each table, ASCII case ignored, the
// "Custom" numbers, and what an unknown name shows.
#include "records_fixture.h"

namespace records_test {
namespace {

struct TypeCase {
    const char* name;
    uint16_t code;
    bool is_float;
};

class ParameterTypes : public RecordsTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(ParameterTypes, GiveTheirCodeAndFloatBitSilently) {
    bool float_bit = false;
    EXPECT_EQ(Kvor::ReadParameterType(GetParam().name, float_bit), GetParam().code);
    EXPECT_EQ(float_bit, GetParam().is_float);
    ExpectBoxes({});
}

INSTANTIATE_TEST_SUITE_P(
    EveryName, ParameterTypes,
    ::testing::Values(TypeCase{"Text", 45, false}, TypeCase{"String", 45, false},
                      TypeCase{"Filename", 40, false}, TypeCase{"File", 40, false},
                      TypeCase{"Float", 22, true}, TypeCase{"Integer", 22, false},
                      TypeCase{"Unsigned Integer", 22, false}, TypeCase{"Object", 1, false},
                      TypeCase{"Position", 8, false}, TypeCase{"Create", 9, false},
                      TypeCase{"SysCreate", 20, false}, TypeCase{"Animation", 10, false},
                      TypeCase{"Nop", 11, false}, TypeCase{"Player", 12, false},
                      TypeCase{"Every", 13, false}, TypeCase{"Key", 14, false},
                      TypeCase{"Speed", 15, false}, TypeCase{"JoyDirection", 17, false},
                      TypeCase{"Shoot", 18, false}, TypeCase{"Zone", 19, false},
                      TypeCase{"Comparison", 23, false}, TypeCase{"StringComparison", 46, false},
                      TypeCase{"Colour", 24, false}, TypeCase{"Color", 24, false},
                      TypeCase{"Frame", 26, false}, TypeCase{"SampleLoop", 27, false},
                      TypeCase{"MusicLoop", 28, false}, TypeCase{"NewDirection", 29, false},
                      TypeCase{"TextNumber", 30, false}, TypeCase{"Click", 31, false},
                      TypeCase{"Program", 33, false}));

INSTANTIATE_TEST_SUITE_P(AnyCase, ParameterTypes,
                         ::testing::Values(TypeCase{"float", 22, true}, TypeCase{"FLOAT", 22, true},
                                           TypeCase{"string", 45, false},
                                           TypeCase{"uNSIGNED iNTEGER", 22, false},
                                           TypeCase{"stringcomparison", 46, false},
                                           TypeCase{"COLOR", 24, false}));

INSTANTIATE_TEST_SUITE_P(
    CustomNumbers, ParameterTypes,
    ::testing::Values(TypeCase{"Custom12", 1012, false}, TypeCase{"custom", 1000, false},
                      TypeCase{"Customer", 1000, false}, TypeCase{"CUSTOM7", 1007, false},
                      TypeCase{"Custom0", 1000, false}, TypeCase{"Custom12abc", 1012, false},
                      TypeCase{"Custom 12", 1012, false}, TypeCase{"Custom+3", 1003, false},
                      TypeCase{"Custom-3", 997, false},
                      // Numbers past a 16-bit code stop at its end instead of overflowing.
                      TypeCase{"Custom64535", 65535, false},
                      TypeCase{"Custom99999999999999999999", 65535, false},
                      TypeCase{"Custom-99999999999999999999", 0, false}));

TEST_F(RecordsTest, TheFloatBitIsOnlyEverSetNeverCleared) {
    bool float_bit = true;
    EXPECT_EQ(Kvor::ReadParameterType("Integer", float_bit), 22);
    EXPECT_TRUE(float_bit);
    float_bit = true;
    EXPECT_EQ(Kvor::ReadExpressionParameterType("Text", float_bit), 3);
    EXPECT_TRUE(float_bit);
}

class UnknownParameterTypes : public RecordsTest,
                              public ::testing::WithParamInterface<const char*> {};

TEST_P(UnknownParameterTypes, GiveZeroAfterNamingTheTypeInQuotes) {
    bool float_bit = false;
    EXPECT_EQ(Kvor::ReadParameterType(GetParam(), float_bit), 0);
    EXPECT_FALSE(float_bit);
    ExpectBoxes({TypeBox(GetParam())});
    ForgetBoxes();
    EXPECT_EQ(Kvor::ReadExpressionParameterType(GetParam(), float_bit), 0);
    EXPECT_FALSE(float_bit);
    ExpectBoxes({TypeBox(GetParam())});
}

INSTANTIATE_TEST_SUITE_P(Names, UnknownParameterTypes,
                         ::testing::Values("Foo", "", "Floats", "Tex", " Text", "Custo",
                                           "Unsigned  Integer", "\xc3\x89very"));

class ExpressionParameterTypes : public RecordsTest,
                                 public ::testing::WithParamInterface<TypeCase> {};

TEST_P(ExpressionParameterTypes, GiveTheirCodeAndFloatBitSilently) {
    bool float_bit = false;
    EXPECT_EQ(Kvor::ReadExpressionParameterType(GetParam().name, float_bit), GetParam().code);
    EXPECT_EQ(float_bit, GetParam().is_float);
    ExpectBoxes({});
}

INSTANTIATE_TEST_SUITE_P(EveryName, ExpressionParameterTypes,
                         ::testing::Values(TypeCase{"Text", 3, false}, TypeCase{"String", 3, false},
                                           TypeCase{"Float", 1, true},
                                           TypeCase{"Integer", 1, false},
                                           TypeCase{"Unsigned Integer", 1, false},
                                           TypeCase{"float", 1, true}, TypeCase{"TEXT", 3, false},
                                           TypeCase{"unsigned integer", 1, false}));

TEST_F(RecordsTest, ExpressionParametersKnowNoActionOnlyTypes) {
    for (const char* name : {"Object", "File", "Custom12", "Comparison"}) {
        bool float_bit = false;
        EXPECT_EQ(Kvor::ReadExpressionParameterType(name, float_bit), 0) << name;
    }
}

struct ReturnCase {
    const char* name;
    uint16_t code;
};

class ReturnTypes : public RecordsTest, public ::testing::WithParamInterface<ReturnCase> {};

TEST_P(ReturnTypes, GiveTheirCodeSilently) {
    EXPECT_EQ(Kvor::ReadExpressionReturnType(GetParam().name), GetParam().code);
    ExpectBoxes({});
}

INSTANTIATE_TEST_SUITE_P(EveryName, ReturnTypes,
                         ::testing::Values(ReturnCase{"Integer", 0}, ReturnCase{"Float", 2},
                                           ReturnCase{"Text", 1}, ReturnCase{"String", 1},
                                           ReturnCase{"Short", 0},
                                           ReturnCase{"Unsigned Integer", 0},
                                           ReturnCase{"float", 2}, ReturnCase{"tExT", 1},
                                           ReturnCase{"STRING", 1}));

class UnknownReturnTypes : public RecordsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnknownReturnTypes, GiveIntegerAfterNamingTheTypeInQuotes) {
    EXPECT_EQ(Kvor::ReadExpressionReturnType(GetParam()), 0);
    ExpectBoxes({ReturnBox(GetParam())});
}

INSTANTIATE_TEST_SUITE_P(Names, UnknownReturnTypes,
                         ::testing::Values("", "Double", "Custom12", "Strings", "%s%n"));

TEST_F(RecordsTest, ALongReturnNameIsCutToTheMessageBuffer) {
    const std::string name(1000, 'x');
    EXPECT_EQ(Kvor::ReadExpressionReturnType(name.c_str()), 0);
#ifndef _WIN32
    const auto& boxes = Kvor::Platform::RecordedBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, ReturnBox(name).text);
    EXPECT_EQ(boxes[0].text.size(), 255u);
    EXPECT_EQ(boxes[0].caption, ReturnBox(name).caption);
#endif
}

}  // namespace
}  // namespace records_test
