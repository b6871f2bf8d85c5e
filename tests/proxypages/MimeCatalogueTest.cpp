// The MIME type catalogue read from and appended to real files.
#include <gtest/gtest.h>
#include "MimeCatalogue.h"
#include "TempFolder.h"
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries Load(const std::string& folder)
{
    MimeCatalogue catalogue;
    catalogue.Add(MimeTypeEntry{ "stale/entry", "" });  // loading starts afresh
    LoadMimeCatalogue(folder.c_str(), catalogue);
    Entries entries;
    for (int i = 0; i < catalogue.GetSize(); ++i)
        entries.emplace_back((LPCTSTR)catalogue[i].m_type, (LPCTSTR)catalogue[i].m_description);
    return entries;
}

std::string Slashed(std::string path)
{
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

} // namespace

TEST(MimeCatalogue, SplitLineCutsAtRunsOfSeparatorsAndDropsTheLineEnd)
{
    struct { const char* line; std::vector<std::string> fields; } cases[] = {
        { "text/html\tHTML document\n", { "text/html", "HTML document" } },
        { "image/gif\n", { "image/gif" } },
        { "image/gif\t\n", { "image/gif", "" } },
        { "\t\ttext/css\t\t\tStyle sheet", { "text/css", "Style sheet" } },
        { "a b\tc d \n", { "a b", "c d " } },
        { "x\ty\tz\n", { "x", "y", "z" } },
        { "x\ty\t\n", { "x", "y", "" } },
        { "\n", { "" } },
        { "", {} },
        { "\t\t", {} },
        { "one\ntwo\nthree", { "one\ntwo" } },
    };
    CStringArray fields;
    fields.Add("left over");
    for (const auto& c : cases) {
        ASSERT_EQ((int)c.fields.size(), SplitLine(c.line, "\t", fields)) << c.line;
        std::vector<std::string> got;
        for (int i = 0; i < fields.GetSize(); ++i)
            got.push_back((LPCTSTR)fields[i]);
        EXPECT_EQ(c.fields, got) << c.line;
    }
}

TEST(MimeCatalogue, EveryLineShapeOfTheBaseFile)
{
    TempFolder folder;
    folder.write("mimetypes",
                 "text/html\tHTML document\r\n"
                 "image/gif\r\n"
                 "image/png\t\r\n"
                 "text/css\t\tStyle sheet\r\n"
                 "\r\n"
                 "bad/three\tfields\there\r\n"
                 "bad/trailing\tDescription\t\r\n"
                 "\t\t\r\n"
                 "\t\tapplication/json\tJSON data\r\n"
                 "text/plain\tPlain text, 100% ASCII\r\n"
                 "application/zip\tZIP archive");  // no line end at the end
    Entries expected = {
        { "text/html", "HTML document" }, { "image/gif", "" }, { "image/png", "" },
        { "text/css", "Style sheet" }, { "application/json", "JSON data" },
        { "text/plain", "Plain text, 100% ASCII" }, { "application/zip", "ZIP archive" },
    };
    EXPECT_EQ(expected, Load(folder.path()));
}

TEST(MimeCatalogue, MissingFilesGiveNothingAndTheUserFileFollowsTheBase)
{
    TempFolder folder;
    EXPECT_EQ(Entries{}, Load(folder.path()));
    EXPECT_EQ(Entries{}, Load(folder.path("no-such-folder")));

    folder.write("mimetypes.usr", "text/x-own\tOwn type\n");
    EXPECT_EQ((Entries{ { "text/x-own", "Own type" } }), Load(folder.path()));

    folder.write("mimetypes", "text/html\tHTML document\nimage/gif\tGIF image\n");
    folder.write("mimetypes.usr", "text/x-own\tOwn type\ntext/html\tHyper text\n");
    MimeCatalogue catalogue;
    LoadMimeCatalogue(folder.path().c_str(), catalogue);
    ASSERT_EQ(4, catalogue.GetSize());
    EXPECT_STREQ("text/html", catalogue[3].m_type);
    const MimeTypeEntry* found = FindMimeType(catalogue, "text/html");
    ASSERT_EQ(&catalogue[0], found) << "the base catalogue's entry comes first";
    EXPECT_STREQ("HTML document", found->m_description);
    EXPECT_EQ(nullptr, FindMimeType(catalogue, "TEXT/HTML")) << "case counts";
    EXPECT_EQ(nullptr, FindMimeType(catalogue, "text/htm"));
}

TEST(MimeCatalogue, LinesLongerThanTheReadBufferAreReadWhole)
{
    TempFolder folder;
    // Read in 1023-character pieces, each piece would become a type of its own.
    std::string longDescription(3000, 'd');
    std::string longType = "application/" + std::string(1500, 't');
    folder.write("mimetypes", "text/long\t" + longDescription + "\n" + longType + "\n" + "image/gif\tGIF\n");
    Entries expected = { { "text/long", longDescription }, { longType, "" }, { "image/gif", "GIF" } };
    EXPECT_EQ(expected, Load(folder.path()));
}

TEST(MimeCatalogue, TheFolderResolvesWithEitherSlashAndWithATrailingSeparator)
{
    TempFolder folder;
    folder.write("mimetypes", "text/html\tHTML document\n");
    folder.write("mimetypes.usr", "text/x-own\tOwn\n");
    Entries both = { { "text/html", "HTML document" }, { "text/x-own", "Own" } };
    EXPECT_EQ(both, Load(folder.path()));
    EXPECT_EQ(both, Load(Slashed(folder.path())));
    EXPECT_EQ(both, Load(folder.path() + "\\"));
    EXPECT_EQ(both, Load(Slashed(folder.path()) + "/"));
    EXPECT_STREQ((folder.path() + "\\mimetypes.").c_str(), MimeCataloguePath(folder.path().c_str()));
    EXPECT_STREQ((folder.path() + "\\mimetypes.usr").c_str(), UserMimeCataloguePath((folder.path() + "\\").c_str()));

    ASSERT_TRUE(AppendUserMimeType(Slashed(folder.path()).c_str(), "text/x-slash", "Slashed"));
    EXPECT_EQ("text/x-own\tOwn\ntext/x-slash\tSlashed\r\n", folder.read("mimetypes.usr"));
}

TEST(MimeCatalogue, AppendingCreatesTheUserFileAndReadsBackAfterTheBase)
{
    TempFolder folder;
    folder.write("mimetypes", "text/html\tHTML document\nimage/gif\tGIF image\n");
    ASSERT_TRUE(AppendUserMimeType(folder.path().c_str(), "text/x-sample", "Sample type"));
    EXPECT_EQ("text/x-sample\tSample type\r\n", folder.read("mimetypes.usr"));

    ASSERT_TRUE(AppendUserMimeType(folder.path().c_str(), "text/x-bare", ""));
    ASSERT_TRUE(AppendUserMimeType(folder.path().c_str(), "text/x-percent", "50% off %s %d"));
    ASSERT_TRUE(AppendUserMimeType(folder.path().c_str(), "text/x-sample", "Again"));
    EXPECT_EQ("text/x-sample\tSample type\r\ntext/x-bare\t\r\ntext/x-percent\t50% off %s %d\r\n"
              "text/x-sample\tAgain\r\n",
              folder.read("mimetypes.usr"));
    Entries expected = {
        { "text/html", "HTML document" }, { "image/gif", "GIF image" }, { "text/x-sample", "Sample type" },
        { "text/x-bare", "" }, { "text/x-percent", "50% off %s %d" }, { "text/x-sample", "Again" },
    };
    EXPECT_EQ(expected, Load(folder.path()));
}

TEST(MimeCatalogue, AppendingAfterALastLineWithoutLineEndKeepsBothLines)
{
    TempFolder folder;
    folder.write("mimetypes.usr", "text/x-old\tOld");
    ASSERT_TRUE(AppendUserMimeType(folder.path().c_str(), "text/x-new", "New"));
    EXPECT_EQ((Entries{ { "text/x-old", "Old" }, { "text/x-new", "New" } }), Load(folder.path()));
}

TEST(MimeCatalogue, AUserFileThatCannotBeOpenedForAppendingIsReported)
{
    // A folder in the file's place cannot be opened as a file on any system
    // (a read-only attribute does not stop an administrator under Wine).
    TempFolder folder;
    folder.write("mimetypes", "text/html\tHTML document\n");
    CreateDirectoryA(folder.path("mimetypes.usr").c_str(), NULL);
    EXPECT_FALSE(AppendUserMimeType(folder.path().c_str(), "text/x-new", "New"));
    EXPECT_EQ((Entries{ { "text/html", "HTML document" } }), Load(folder.path()));

    EXPECT_FALSE(AppendUserMimeType(folder.path("no-such-folder").c_str(), "text/x-new", "New"));
    EXPECT_FALSE(folder.exists("no-such-folder"));
}
