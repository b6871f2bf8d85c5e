#include "EditorFixture.h"

namespace {

struct DenyMessage : ::testing::Test
{
    TestVeilgate editor{ nullptr, nullptr };
    std::string Store(const char* display) { return (LPCTSTR)editor.vgStringToProp(display); }
    std::string Show(const char* stored) { return (LPCTSTR)editor.vgPropToString(stored); }
};

} // namespace

TEST_F(DenyMessage, StoredFormOfTheDocumentedExamples)
{
    EXPECT_EQ("Access denied", Store("Access denied"));
    EXPECT_EQ("Access denied.\nPlease call the help desk.", Store("Access denied.\r\nPlease call the help desk."));
    EXPECT_EQ("%<b>Blocked</b>", Store("<b>Blocked</b>"));
    EXPECT_EQ("%%d items", Store("%d items"));
    EXPECT_EQ("100% sure", Store("100% sure"));
    EXPECT_EQ("one\n\ntwo", Store("one\r\n\r\ntwo"));
}

TEST_F(DenyMessage, DisplayFormReadsTheExamplesBack)
{
    EXPECT_EQ("Access denied", Show("Access denied"));
    EXPECT_EQ("Access denied.\r\nPlease call the help desk.", Show("Access denied.\nPlease call the help desk."));
    EXPECT_EQ("<b>Blocked</b>", Show("%<b>Blocked</b>"));
    EXPECT_EQ("%d items", Show("%%d items"));
    EXPECT_EQ("100% sure", Show("100% sure"));
    EXPECT_EQ("one\r\ntwo", Show("one\n\ntwo"));  // empty lines are dropped on reading
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
