#include "ConsoleSupport.h"
#include "quolla.h"
#include "VeilgateSettings.h"
#include <stdio.h>

namespace {

const char kUsage[] =
    "usage: console.exe --document FILE --service NAME [--data-folder DIR]\n"
    "                   [--exceptions-only] [--screenshots DIR]\n"
    "       console.exe --check [--service NAME] [--data-folder DIR] [--format gnu|sarif|gitlab]\n"
    "                   FILE... | --document FILE\n"
    "       console.exe --diff OLD NEW [--service NAME]\n"
    "       console.exe --merge BASE MINE THEIRS [-o OUT]\n"
    "       console.exe --document FILE --service NAME --export-exceptions allowed|denied OUT\n"
    "       console.exe --document FILE --service NAME --import-exceptions allowed|denied IN [--dry-run]\n";

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), &wide[0], (int)wide.size()));
    return wide;
}

std::string Utf8OfWide(const std::wstring& wide)
{
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), &utf8[0], (int)utf8.size(), NULL,
                                    NULL));
    return utf8;
}

void Write(DWORD nStdHandle, FILE* stream, const std::string& text)
{
    HANDLE handle = GetStdHandle(nStdHandle);
    DWORD mode, written;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = Wide(text);
        WriteConsoleW(handle, wide.data(), (DWORD)wide.size(), &written, NULL);
        return;
    }
    // Always through the characters: what cannot be read as text becomes
    // U+FFFD rather than bytes a reader of UTF-8 chokes on.
    const std::string utf8 = Utf8OfWide(Wide(text));
    fflush(stream);
    fwrite(utf8.data(), 1, utf8.size(), stream);
    fflush(stream);
}

} // namespace

std::string Utf8Of(const std::string& text)
{
    return GetACP() == CP_UTF8 ? text : Utf8OfWide(Wide(text));
}

void Say(const std::string& text)
{
    Write(STD_ERROR_HANDLE, stderr, text);
}

void Print(const std::string& text)
{
    Write(STD_OUTPUT_HANDLE, stdout, text);
}

int Fail(const std::string& message)
{
    Say("console: " + message + "\n");
    return 2;
}

int Usage(const std::string& message)
{
    Say(kUsage);
    return Fail(message);
}

int OpenService(Beach& beach, const CString& document, const CString& service)
{
    CString error;
    if (!beach.open(document, error, VgSettings::StoreSchema()))
        return Fail((LPCTSTR)error);
    if (!beach.hasService(service))
        return Fail(std::string("there is no service \"") + (LPCTSTR)service + "\" in " + (LPCTSTR)document);
    return 0;
}

CString FolderOf(const CString& path)
{
    int slash = path.ReverseFind('\\');
    if (path.ReverseFind('/') > slash)
        slash = path.ReverseFind('/');
    return slash < 0 ? CString(".") : path.Left(slash);
}

void SayConflicts(const std::string& prefix, const CStringArray& conflicts)
{
    std::string text;
    for (int i = 0; i < conflicts.GetSize(); ++i)
        text += prefix + (LPCTSTR)conflicts[i] + "\n";
    Say(text);
}
