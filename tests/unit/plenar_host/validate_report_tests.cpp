#include <gtest/gtest.h>
#include "text_escapes.h"
#include "validate_report.h"

using namespace plenar::cli;

namespace {

TEST(ValidateReport, TextIsEscapedForXmlAndJsonAndWhatNeitherHoldsIsReplaced) {
    const struct {
        const char* text;
        const char* xml;
        const char* json;
    } cases[] = {
        {"a<b> & \"c\" 'd'", "a&lt;b&gt; &amp; &quot;c&quot; &apos;d&apos;",
         "a<b> & \\\"c\\\" 'd'"},
        {"line\r\nnext\tand \\", "line&#13;&#10;next&#9;and \\", "line\\r\\nnext\\tand \\\\"},
        // A control character and a byte that is no UTF-8.
        {"\x01x\xFF", "\xEF\xBF\xBDx\xEF\xBF\xBD", "\\u0001x\xEF\xBF\xBD"},
        {"caf\xC3\xA9 \xE4\xB8\xAD", "caf\xC3\xA9 \xE4\xB8\xAD", "caf\xC3\xA9 \xE4\xB8\xAD"},
        // A surrogate half written as UTF-8 is no character.
        {"\xED\xA0\x80", "\xEF\xBF\xBD", "\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(xml_escaped(c.text), c.xml) << c.text;
        EXPECT_EQ(json_escaped(c.text), c.json) << c.text;
    }
}

ValidateRun three_checks() {
    return {"C:\\p\\A&B.pvx",
            7,
            {{"exports", CheckOutcome{Verdict::passed, "note", "printed\n"}, {}, 0.5},
             {"menus", CheckOutcome{Verdict::crashed, "access violation <here>", ""}, {}, 0.25},
             {"memory", std::nullopt, "not selected by --filter x", 0}}};
}

TEST(ValidateReport, JUnitHasATestCaseACheckWithItsVerdictAndOutput) {
    const std::string xml = junit_xml(three_checks());
    for (const char* part : {
             "<testsuites name=\"plenar-host validate\" tests=\"3\" failures=\"1\" errors=\"0\" "
             "skipped=\"1\" time=\"0.750\">",
             "<property name=\"plugin\" value=\"C:\\p\\A&amp;B.pvx\"/>",
             "<property name=\"seed\" value=\"7\"/>",
             "<testcase name=\"exports\" classname=\"plenar-host.validate\" time=\"0.500\">\n"
             "      <properties><property name=\"note\" value=\"note\"/></properties>\n"
             "      <system-out>printed&#10;</system-out>\n    </testcase>",
             "<failure type=\"crash\" message=\"access violation &lt;here&gt;\">access violation "
             "&lt;here&gt;</failure>",
             "<testcase name=\"memory\" classname=\"plenar-host.validate\" time=\"0.000\">\n"
             "      <skipped message=\"not selected by --filter x\"/>\n    </testcase>",
         })
        EXPECT_NE(xml.find(part), std::string::npos) << part << "\n" << xml;
}

TEST(ValidateReport, JsonGivesTheSameVerdicts) {
    const std::string json = json_report(three_checks());
    for (const char* part :
         {"\"plugin\": \"C:\\\\p\\\\A&B.pvx\"", "\"seed\": 7",
          "{\"name\": \"exports\", \"verdict\": \"pass\", \"reason\": \"note\", \"output\": "
          "\"printed\\n\", \"seconds\": 0.500}",
          "\"verdict\": \"crash\", \"reason\": \"access violation <here>\"",
          "{\"name\": \"memory\", \"verdict\": \"skipped\", \"reason\": \"not selected by "
          "--filter x\"",
          "\"checks_run\": 2", "\"failed\": 1", "\"skipped\": 1"})
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
}

}  // namespace
