// --merge: two edits of the sample document merged by what their values
// mean, each case checked through --diff of the sample and the result.
#include "ConsoleFixture.h"

namespace {

// An edit of the sample's text: from (after anchor) becomes to.
struct Edit
{
    const char* anchor;
    const char* from;
    const char* to;
};

std::string Edited(std::string text, const std::vector<Edit>& edits)
{
    for (const Edit& e : edits) {
        const size_t at = text.find(e.from, text.find(e.anchor));
        EXPECT_NE(std::string::npos, at) << e.from;
        if (at != std::string::npos)
            text.replace(at, strlen(e.from), e.to);
    }
    return text;
}

const char kEveryone[] = "\"Everyone\"";
const char kStaff[] = "\"Staff\"";
const char kTop[] = "{";
// Everyone's schedule, stored reversed: its first characters are Saturday's
// last hours.
const char kEveryoneSchedule[] = "\"schedule\": \"00000000000000000000000000000011";
const char kStaffGroup[] = "\"Staff\": {\n"
                           "            \"opMask\": \"0010000000000000010001111100000000001000\",\n";

class ConsoleMerge : public Console
{
protected:
    std::string base, mine, theirs, out;

    void SetUp() override
    {
        Console::SetUp();
        base = document;
        mine = folder + "\\mine.json";
        theirs = folder + "\\theirs.json";
        out = folder + "\\out.json";
    }
    DWORD Merge(const std::vector<Edit>& mineEdits, const std::vector<Edit>& theirsEdits)
    {
        const std::string text = ReadFile(base);
        WriteText(mine, Edited(text, mineEdits));
        WriteText(theirs, Edited(text, theirsEdits));
        DeleteFileA(out.c_str());
        return Run("--merge \"" + base + "\" \"" + mine + "\" \"" + theirs + "\" -o \"" + out + "\"");
    }
    // The merged document's changes from the sample, in the sheet's words.
    std::string Merged()
    {
        Run("--diff \"" + base + "\" \"" + out + "\"");
        return Output();
    }
};

} // namespace

TEST_F(ConsoleMerge, EditsOfDifferentValuesAreAllKept)
{
    const struct
    {
        const char* what;
        std::vector<Edit> mine, theirs;
        const char* merged;
    } cases[] = {
        { "a switch and a number",
          { { kTop, "\"remove_cookies\": 0", "\"remove_cookies\": 1" } },
          { { kTop, "\"idle_timeout\": 600", "\"idle_timeout\": 300" } },
          "http-proxy: Settings: Remove cookies: off -> on\n"
          "http-proxy: Settings: Idle timeout: 600 -> 300 seconds\n" },
        { "the same number on both sides",
          { { kTop, "\"idle_timeout\": 600", "\"idle_timeout\": 300" } },
          { { kTop, "\"idle_timeout\": 600", "\"idle_timeout\": 300" } },
          "http-proxy: Settings: Idle timeout: 600 -> 300 seconds\n" },
        { "entries added and removed; the same one added on both sides once",
          { { kTop, "\"10.1.2.4:8080 \",", "\"10.1.2.4:8080 \", \"10.9.9.9\"," },
            { kTop, "\"172.16.5.9\",", "\"172.16.5.9\", \"10.7.7.7\"," },
            { kTop, "image/gif\\n", "" } },
          { { kTop, "\"10.1.2.3\",", "" },
            { kTop, "\"172.16.5.9\",", "\"172.16.5.9\", \"10.7.7.7\"," },
            { kTop, "text/plain", "text/plain\\ntext/xml" } },
          "http-proxy: Safe Content: Allow only safe content types: - image/gif\n"
          "http-proxy: Safe Content: Allow only safe content types: + text/xml\n"
          "http-proxy: VG: Exceptions: Allowed Exceptions: - 10.1.2.3\n"
          "http-proxy: VG: Exceptions: Allowed Exceptions: + 10.9.9.9\n"
          "http-proxy: VG: Exceptions: Denied Exceptions: + 10.7.7.7\n" },
        { "servers reordered on one side, one added on the other",
          { { kTop, "\"position\": 0", "\"position\": 7" },
            { kTop, "\"position\": 1", "\"position\": 0" },
            { kTop, "\"position\": 7", "\"position\": 1" } },
          { { kTop, "\"position\": 2\n          }",
              "\"position\": 2\n          },\n          \"03\": { \"address\": \"10.0.0.7\", \"port\": 5003, "
              "\"position\": 3 }" } },
          "http-proxy: Veilgate Controls: Veilgate Servers: + 10.0.0.7:5003\n"
          "http-proxy: Veilgate Controls: Veilgate Servers: 10.0.0.5:5003, 10.0.0.6:5003, 192.168.10.20:4005 -> "
          "10.0.0.6:5003, 10.0.0.5:5003, 192.168.10.20:4005, 10.0.0.7:5003\n" },
        { "categories, hours and block-all flags of one group",
          { { kEveryone, "00001000\"", "00001001\"" },
            { kEveryone, kEveryoneSchedule, "\"schedule\": \"10000000000000000000000000000011" },
            { kEveryone, "\"opBlockAll\": false", "\"opBlockAll\": true" } },
          { { kEveryone, "00001000\"", "00001010\"" },
            { kEveryone, kEveryoneSchedule, "\"schedule\": \"01000000000000000000000000000011" },
            { kEveryone, "\"nonOpBlockAll\": false", "\"nonOpBlockAll\": true" } },
          "http-proxy: VG: Schedule (group Everyone): Saturday 22:00-23:59: non-operational -> operational\n"
          "http-proxy: VG: Operational Privileges (group Everyone): Denied Categories: + Sports\n"
          "http-proxy: VG: Operational Privileges (group Everyone): Denied Categories: + Travel\n"
          "http-proxy: VG: Operational Privileges (group Everyone): Block all outgoing Web access: off -> on\n"
          "http-proxy: VG: Non-operational Privileges (group Everyone): Block all outgoing Web access: off -> on\n" },
        { "a group added, one removed, members of a third",
          { { kTop, "\"Everyone\": {", "\"Zeta\": { \"nonOpBlockAll\": false, \"opBlockAll\": true },\n"
                                       "          \"Everyone\": {" },
            { kStaff, "\"carol\"", "\"carol\", \"dave\"" } },
          { { kStaff, "\"bob\",", "" } },
          "http-proxy: Groups: + Zeta\n"
          "http-proxy: Group Staff: members: - bob\n"
          "http-proxy: Group Staff: members: + dave\n" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(0u, Merge(c.mine, c.theirs)) << c.what << "\n" << Errors();
        EXPECT_EQ("", Output()) << c.what;
        EXPECT_EQ(c.merged, Merged()) << c.what;
    }
}

TEST_F(ConsoleMerge, WhatTheModuleDoesNotOwnComesWholeFromTheSideThatChangedIt)
{
    EXPECT_EQ(0u, Merge({ { kTop, "\"remove_cookies\": 0", "\"remove_cookies\": 1" } },
                        { { kTop, "\"allow_put\": 0", "\"allow_put\": 1" } }));
    EXPECT_EQ(Edited(ReadFile(theirs), { { kTop, "\"remove_cookies\": 0", "\"remove_cookies\": 1" } }),
              ReadFile(out));
    EXPECT_EQ(0u, Merge({ { kTop, "\"allow_put\": 0", "\"allow_put\": 1" } },
                        { { kTop, "\"remove_cookies\": 0", "\"remove_cookies\": 1" } }));
    EXPECT_EQ(ReadFile(theirs), Edited(ReadFile(out), { { kTop, "\"allow_put\": 1", "\"allow_put\": 0" } }));
}

TEST_F(ConsoleMerge, ConflictsAreNamedAndNothingIsWritten)
{
    const struct
    {
        std::vector<Edit> mine, theirs;
        const char* conflicts;
    } cases[] = {
        { { { kTop, "\"idle_timeout\": 600", "\"idle_timeout\": 300" } },
          { { kTop, "\"idle_timeout\": 600", "\"idle_timeout\": 900" } },
          "conflict: http-proxy: Settings: Idle timeout: 600 -> 300 / 900 seconds\n" },
        { { { kTop, "\"10.0.0.1:8080\"", "\"\"" } },
          { { kTop, "\"10.0.0.1:8080\"", "\"10.0.0.2:8080\"" } },
          "conflict: http-proxy: Settings: Use Caching Proxy Server: 10.0.0.1:8080 -> off / 10.0.0.2:8080\n" },
        { { { kTop, "4357.", "4400." } },
          { { kTop, "4357.", "4500." } },
          "conflict: http-proxy: Veilgate Controls: Message for blocked user: line 2: <b>Questions?</b> Call the help "
          "desk on 4357. -> <b>Questions?</b> Call the help desk on 4400. (1 line changed) / line 2: "
          "<b>Questions?</b> Call the help desk on 4357. -> <b>Questions?</b> Call the help desk on 4500. (1 line "
          "changed)\n" },
        { { { kTop, "\"position\": 0", "\"position\": 7" } },
          { { kTop, "\"position\": 2", "\"position\": -1" } },
          "conflict: http-proxy: Veilgate Controls: Veilgate Servers: 10.0.0.5:5003, 10.0.0.6:5003, "
          "192.168.10.20:4005 -> 10.0.0.6:5003, 192.168.10.20:4005, 10.0.0.5:5003 / 192.168.10.20:4005, "
          "10.0.0.5:5003, 10.0.0.6:5003\n" },
        { { { kTop, kStaffGroup, "\"Staff\": {\n" } },  // edited: every category allowed
          { { kTop, "\"Staff\": {", "\"Gone\": {" } },
          "conflict: http-proxy: Groups: Staff: removed in theirs, changed in mine\n" },
        { { { kTop, "\"allow_put\": 0", "\"allow_put\": 1" } },
          { { kTop, "\"allow_put\": 0", "\"allow_put\": 2" } },
          "conflict: Values of other tools: changed in mine and in theirs\n" },
    };
    for (const auto& c : cases) {
        const std::string before = Edited(ReadFile(base), c.mine);
        EXPECT_EQ(1u, Merge(c.mine, c.theirs)) << c.conflicts;
        EXPECT_EQ(c.conflicts, Errors());
        EXPECT_EQ("", Output());
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(out.c_str())) << c.conflicts;
        EXPECT_EQ(before, ReadFile(mine));
    }
}

TEST_F(ConsoleMerge, WithoutOutTheResultTakesMinesPlaceAndErrorsExitTwo)
{
    EXPECT_EQ(0u, Merge({ { kTop, "\"remove_cookies\": 0", "\"remove_cookies\": 1" } },
                        { { kTop, "\"idle_timeout\": 600", "\"idle_timeout\": 300" } }));
    EXPECT_EQ(0u, Run("--merge \"" + base + "\" \"" + mine + "\" \"" + theirs + "\""));
    EXPECT_EQ(ReadFile(out), ReadFile(mine));
    EXPECT_EQ(2u, Run("--merge \"" + base + "\" \"" + mine + "\""));
    WriteText(theirs, "{ \"services\": { \"http-proxy\": { \"sievex\": { \"activate\": \"yes\" } } } }");
    EXPECT_EQ(2u, Run("--merge \"" + base + "\" \"" + mine + "\" \"" + theirs + "\""));
    EXPECT_NE(std::string::npos, Errors().find("key \"activate\"")) << Errors();
}
