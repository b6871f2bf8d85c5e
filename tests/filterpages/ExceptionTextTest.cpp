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

TEST(ExceptionText, ALineIsStoredAsTheDialogWouldWriteItsParts)
{
    struct { const char* line; const char* entry; } cases[] = {
        { "10.1.2.3", "10.1.2.3" },
        { "10.1.2.3:8080", "10.1.2.3:8080 " },
        { "10.1.2.3:8080 /images/*", "10.1.2.3:8080 /images/*" },
        { "10.1.2.3 /images/*", "10.1.2.3 /images/*" },
        { "10.1.2.3 ", "10.1.2.3 " },
        { "010.001.002.003:0080", "10.1.2.3:80 " },
        { "010.001.002.003", "10.1.2.3" },
        // Bare, in the form a lookup writes: taken as looked up, unchecked.
        { "224.0.0.251", "224.0.0.251" },
        { "0.0.0.0", "0.0.0.0" },
        { "10.1.0.0/16", "10.1.0.0/16" },
        { "010.1.0.0/16:0 ", "10.1.0.0/16:0 " },
        { "10.1.0.0/16  /a b ", "10.1.0.0/16  /a b " },
        { "www.example.com", "www.example.com" },
        { "my_host~1%.example.com:65536", "my_host~1%.example.com:65536 " },
        { "Intranet:443  /a b", "Intranet:443  /a b" },
        { "two words", "two words" },
        // At the edges of what stands as written.
        { "223.255.255.255:65536 x", "223.255.255.255:65536 x" },
        { "10.1.2.3:080 ", "10.1.2.3:80 " },
        { "10.0.0.0/08", "10.0.0.0/8" },
        { "10.1.2.4/30 ", "10.1.2.4/30 " },
        { "1234", "1234" },
    };
    for (const auto& c : cases) {
        CString entry = "?", message = "?";
        EXPECT_TRUE(ExceptionText::ParseEntry(c.line, entry, message)) << c.line << ": " << (LPCTSTR)message;
        EXPECT_STREQ(c.entry, entry) << c.line;
    }
}

TEST(ExceptionText, ALineTheDialogWouldRefuseGetsItsMessage)
{
    const char* const notAnAddress = "Not a valid IP!";
    const char* const notAnInteger = "Please enter an integer.";
    const char* const outOfRange = "Please enter an integer between 0 and 65536.";
    struct { const char* line; const char* message; } cases[] = {
        { "10.1.2", notAnAddress },
        { "1000.1.1.1", notAnAddress },   // not taken for the 100.0.1.1 the field would show
        { "10.1.2.3.4", notAnAddress },
        { "256.1.1.1", notAnAddress },
        { "224.0.0.251:80", notAnAddress },  // with a port it is a host
        { "0.0.0.0 ads.example.com", notAnAddress },
        { "10.0.0.0/7", notAnAddress },
        { "10.1.2.0/", notAnAddress },
        { "10.1.2.0/16", "You must enter a valid network address." },
        { "10.1.2.2/30", "You must enter a valid network address." },
        { "10.1.2.0/31", notAnAddress },
        { "10.1.2.3:65537 /a", outOfRange },
        { ":8080", "You must enter an URL!" },
        { "www.example.com/news:80 /daily/*", "Please enter URL in the form 'www.example.com' " },
        { "caf\xc3\xa9.example.com", "You entered invalid character for the URL!" },
        { "a\tb", "You entered invalid character for the URL!" },
        { "www.example.com:", notAnInteger },
        { "www.example.com:80x /a", notAnInteger },
        { "www.example.com:65537", outOfRange },
        { "www.example.com:-1", outOfRange },
        { "10.1.2:99999", outOfRange },  // the port is read first, as the dialog's exchange does
    };
    for (const auto& c : cases) {
        CString entry = "unchanged", message;
        EXPECT_FALSE(ExceptionText::ParseEntry(c.line, entry, message)) << c.line;
        EXPECT_STREQ(c.message, message) << c.line;
        EXPECT_STREQ("unchanged", entry) << c.line;
    }
}
