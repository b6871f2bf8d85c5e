#include "EditorFixture.h"
#include "testres.h"
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
            if (name != "." && name != "..")
                DeleteFileA(path(name).c_str());
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

std::string ServiceDocument(const std::string& sievexMembers, bool withSection)
{
    std::string sections = "\"proxy_http\": { \"idle_timeout\": 600 }";
    if (withSection)
        sections += ", \"sievex\": {" + sievexMembers + "}";
    return "{ \"services\": { \"http-proxy\": {" + sections + "} } }\n";
}

ProbePage::ProbePage() : CPropertyPage(IDD_PROBE_PAGE) {}

BOOL ProbePage::OnApply()
{
    if (onApply)
        onApply();
    return CPropertyPage::OnApply();
}

static ProbePage* s_probe = nullptr;

ExtraPages::ExtraPages(ProbePage* page)
{
    s_probe = page;
    VgSetExtraPagesHook([](CPropertySheet& sheet) { sheet.AddPage(s_probe); });
}

ExtraPages::~ExtraPages()
{
    VgSetExtraPagesHook(NULL);
    s_probe = nullptr;
}
