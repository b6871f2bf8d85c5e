// A folder of its own under the temporary folder, removed with its files
// afterwards.
#pragma once

#include <string>

class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    const std::string& path() const { return m_path; }
    std::string path(const std::string& name) const { return m_path + "\\" + name; }
    void write(const std::string& name, const std::string& text) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    std::string m_path;
};
