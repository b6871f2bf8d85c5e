// The entry text rules of the exception definition dialog, without a window.
#include <gtest/gtest.h>
#include "VeilgateExceptionDialog.h"

TEST(ExceptionText, PortSuffixComesFirstAndThePatternFollowsOneBlank)
{
    struct { const char* base; BOOL port; int number; BOOL pattern; const char* text; const char* entry; } cases[] = {
        { "10.1.2.3", FALSE, 80, FALSE, "/x/*", "10.1.2.3" },
        { "10.1.2.3", TRUE, 8080, FALSE, "/x/*", "10.1.2.3:8080 " },
        { "10.1.2.3", FALSE, 8080, TRUE, "/images/*", "10.1.2.3 /images/*" },
        { "10.1.2.3", TRUE, 8080, TRUE, "/images/*", "10.1.2.3:8080 /images/*" },
        { "10.1.0.0/16", TRUE, 0, TRUE, "", "10.1.0.0/16:0 " },
        { "10.1.0.0/16", FALSE, 80, TRUE, "", "10.1.0.0/16 " },
        { "www.example.com", TRUE, 65536, FALSE, "", "www.example.com:65536 " },
        // The pattern is taken exactly as typed, blanks included.
        { "www.example.com", FALSE, 80, TRUE, "  /a b/ ", "www.example.com   /a b/ " },
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.entry, ExceptionText::BuildEntry(c.base, c.port, c.number, c.pattern, c.text)) << c.entry;
}

TEST(ExceptionText, UrlCharactersAreCheckedFromTheFirst)
{
    using namespace ExceptionText;
    struct { const char* url; UrlCheck check; } cases[] = {
        { "www.example.com", UrlAccepted },
        { "my_host~1%20.example.com", UrlAccepted },
        { "a?b#c*d;e=f,g-h", UrlAccepted },
        { "ABCxyz0189", UrlAccepted },
        { "", UrlEmpty },
        { "www.example.com/news", UrlHasSlash },
        { "a b/c", UrlBadCharacter },   // the blank comes first
        { "a/b c", UrlHasSlash },
        { "www.example.com:8080", UrlBadCharacter },
        { "caf\xc3\xa9.example.com", UrlBadCharacter },
        { "a@b", UrlBadCharacter },
        { "a\\b", UrlBadCharacter },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.check, CheckUrl(c.url)) << c.url;
}
