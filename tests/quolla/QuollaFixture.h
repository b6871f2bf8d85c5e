// Shared pieces of the store's tests: files on disk and a folder per test.
#pragma once

#include "quolla.h"
#include "VeilgateSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

typedef std::vector<std::string> Names;

// The documents of these tests are the editor's: its description names the
// keys the store checks at open.
inline const QuoSchema* Schema() { return VgSettings::StoreSchema(); }

inline void removeTree(const CString& dir)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(dir + "\\*", &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const CString name = data.cFileName;
            const CString path = dir + "\\" + name;
            if (name == "." || name == "..")
                continue;
            SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(path);
            else
                DeleteFileA(path);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(dir);
}

inline std::string readFile(const CString& path)
{
    std::string text;
    if (FILE* f = fopen(path, "rb")) {
        char buf[4096];
        for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;)
            text.append(buf, n);
        fclose(f);
    }
    return text;
}

inline void writeFile(const CString& path, const std::string& text)
{
    FILE* f = fopen(path, "wb");
    ASSERT_TRUE(f);
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

inline Names listOf(const CStringList& list)
{
    Names out;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        out.push_back((LPCTSTR)list.GetNext(pos));
    return out;
}

template <class T>
Names keysOf(const QuoPtrMap<T>& map)
{
    Names out;
    CString key;
    T* value;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        map.GetNextAssoc(pos, key, value);
        out.push_back((LPCTSTR)key);
    }
    return out;
}

// Each test gets a folder of its own under the system's temporary folder.
class QuollaTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        m_dir.Format("%squolla-%lu-%s", temp, GetCurrentProcessId(),
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        removeTree(m_dir);
        ASSERT_TRUE(CreateDirectoryA(m_dir, NULL));
    }
    void TearDown() override { removeTree(m_dir); }
    CString file(LPCTSTR name) const { return m_dir + "\\" + name; }

    Names folder() const
    {
        Names names;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(m_dir + "\\*", &data);
        do {
            if (strcmp(data.cFileName, ".") && strcmp(data.cFileName, ".."))
                names.push_back(data.cFileName);
        } while (FindNextFileA(find, &data));
        FindClose(find);
        return names;
    }

    CString m_dir;
};

