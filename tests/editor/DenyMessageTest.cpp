#include "EditorFixture.h"

namespace {

struct DenyMessage : ::testing::Test
{
    TestVeilgate editor{ nullptr, nullptr };
    std::string Store(const char* display) { return (LPCTSTR)editor.vgStringToProp(display); }
    std::string Show(const char* stored) { return (LPCTSTR)editor.vgPropToString(stored); }
};

} // namespace

TEST_F(DenyMessage, ExamplesConvertBothWays)
{
    struct Example { const char* display; const char* stored; const char* readBack; };
    const Example examples[] = {
        { "Access denied", "Access denied", "Access denied" },
        { "Access denied.\r\nPlease call the help desk.", "Access denied.\nPlease call the help desk.",
          "Access denied.\r\nPlease call the help desk." },
        { "<b>Blocked</b>", "%<b>Blocked</b>", "<b>Blocked</b>" },
        { "%d items", "%%d items", "%d items" },
        { "100% sure", "100% sure", "100% sure" },
        // A blank line is stored as an empty line, which reading drops.
        { "one\r\n\r\ntwo", "one\n\ntwo", "one\r\ntwo" },
    };
    for (const Example& e : examples) {
        EXPECT_EQ(e.stored, Store(e.display)) << e.display;
        EXPECT_EQ(e.readBack, Show(e.stored)) << e.stored;
    }
}

TEST_F(DenyMessage, EmptyAndBlankTexts)
{
    EXPECT_EQ("", Store(""));
    EXPECT_EQ("", Show(""));
    EXPECT_EQ("", Store("\r\n\r\n"));
    EXPECT_EQ("", Show("\n\n  \n\t\n"));
}

TEST_F(DenyMessage, ReadingStripsLeadingBlanksBeforeLookingForTheEscape)
{
    EXPECT_EQ("indented", Show("  indented"));
    EXPECT_EQ("x", Show("  %x"));
    EXPECT_EQ("%", Show("%%"));
}

TEST_F(DenyMessage, OnlyTheFirstCharacterOfALineIsEscaped)
{
    EXPECT_EQ("a<b", Store("a<b"));
    EXPECT_EQ("a%b", Store("a%b"));
    EXPECT_EQ("x\n%<y", Store("x\r\n<y"));
}

TEST_F(DenyMessage, TrailingLineEndsAreDropped)
{
    EXPECT_EQ("line", Store("line\r\n"));
    EXPECT_EQ("line", Store("line\r\r\r\n\n"));
    EXPECT_EQ("line", Show("line\n\n\n"));
}
