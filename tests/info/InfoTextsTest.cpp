#include "info/InfoTexts.h"

#include "TestFiles.h"

namespace {

struct TextCase {
    const char* Name;
    const char* Text;
    const char* Caption;
    const char* ExpectedCaption;
    const char* Fixture;
    friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.Name; }
};

class InfoTexts : public ::testing::TestWithParam<TextCase> {};

// A carriage return or a lost blank shows up as a differing line.
TEST_P(InfoTexts, MatchFixtureLineByLine) {
    const TextCase& c = GetParam();
    EXPECT_STREQ(c.Caption, c.ExpectedCaption);
    const auto expected = infotest::FixtureLines(c.Fixture);
    const auto actual = infotest::SplitLines(c.Text);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, InfoTexts,
    ::testing::Values(TextCase{"About", AboutText, AboutCaption, "About Quorvane", "about.txt"},
                      TextCase{"ReleaseNotes", ReleaseNotesText, ReleaseNotesCaption,
                               "Release Notes - Quorvane", "release-notes.txt"}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
