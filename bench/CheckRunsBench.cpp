// The console's --check of a fleet's documents: the sample 1,000 times in
// one process beside 20 processes of one document each, console.exe started
// as CI starts it (output to NUL). Each process pays Wine's start-up.
#include "BenchSupport.h"
#include <stdio.h>

namespace {

std::string BinFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of('\\'));
}

// Runs the console in folder with its output thrown away; its exit code.
DWORD RunConsole(const std::string& args, const std::string& folder)
{
    SECURITY_ATTRIBUTES inherit = { sizeof inherit, NULL, TRUE };
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, NULL);
    STARTUPINFOA si = { sizeof si };
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + BinFolder() + "\\console.exe\" " + args;
    DWORD code = 99;
    if (CreateProcessA(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, folder.c_str(), &si, &pi)) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    CloseHandle(nul);
    return code;
}

} // namespace

void BenchCheckRuns()
{
    const int kDocuments = 1000, kSeparate = 20;
    const std::string folder = TempPath("vgbench-fleet");
    CreateDirectoryA(folder.c_str(), NULL);
    const std::string sample = ReadRaw(EXAMPLES_DIR "/http-proxy.json");
    WriteRaw(folder + "\\mimetypes", ReadRaw(EXAMPLES_DIR "/mimetypes"));
    std::string names;
    for (int i = 0; i < kDocuments; ++i) {
        char name[16];
        snprintf(name, sizeof name, "p%04d.json", i);
        WriteRaw(folder + "\\" + name, sample);
        names += std::string(" ") + name;
    }
    printf("\n--check of %d copies of the sample; median of 3 runs\n\n", kDocuments);
    DWORD code = 0;
    const double many = Time([&] { code |= RunConsole("--check" + names, folder); }, 3);
    const double separate = Time([&] {
        for (int i = 0; i < kSeparate; ++i)
            code |= RunConsole("--check p0000.json", folder);
    }, 3);
    if (code != 0)
        fprintf(stderr, "vgbench: --check of the sample did not find it clean (exit %lu)\n", code);
    Row("check 1,000 documents in one run", many, "beside: 20 runs of one document", separate);
    for (int i = 0; i < kDocuments; ++i) {
        char name[16];
        snprintf(name, sizeof name, "\\p%04d.json", i);
        DeleteFileA((folder + name).c_str());
    }
    DeleteFileA((folder + "\\mimetypes").c_str());
    RemoveDirectoryA(folder.c_str());
}
