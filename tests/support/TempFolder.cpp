#include "TempFolder.h"
#include <windows.h>
#include <fstream>
#include <sstream>

TempFolder::TempFolder()
{
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    m_path = std::string(base) + "vgtest-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(++counter);
    CreateDirectoryA(m_path.c_str(), NULL);
}

TempFolder::~TempFolder()
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((m_path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            SetFileAttributesA(path(name).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileA(path(name).c_str()))
                RemoveDirectoryA(path(name).c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(m_path.c_str());
}

void TempFolder::write(const std::string& name, const std::string& text) const
{
    std::ofstream out(path(name), std::ios::binary);
    out << text;
}

std::string TempFolder::read(const std::string& name) const
{
    std::ifstream in(path(name), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool TempFolder::exists(const std::string& name) const
{
    return GetFileAttributesA(path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}
