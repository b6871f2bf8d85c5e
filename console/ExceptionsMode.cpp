// A service's allowed or denied exceptions out of a document into a text
// file of one entry a line, and such a file into the document:
//
//   --document FILE --service NAME --export-exceptions allowed|denied OUT
//   --document FILE --service NAME --import-exceptions allowed|denied IN [--dry-run]
//
// The file is UTF-8 (a byte order mark is skipped), its lines end in LF, CR
// LF or a lone CR (as in a document); export writes LF. An imported line is
// read as the definition dialog's parts and stored as the text the dialog
// would make of them; it meets the lists as the exceptions page's Add does.
// The module holds those rules and their messages; here is only the file.
//
// Export: 0 when an import into an empty list would give the list back byte
// for byte, 1 when it would not (each such line is named), 2 on a usage or
// document error. Import: 0 when no line was refused, 1 when some were (the
// rest is still saved), 2 on a usage or document error or a failed save
// (nothing written).
#include "ConsoleModes.h"
#include "ConsoleSupport.h"
#include "DurableFile.h"
#include "quolla.h"
#include "VeilgateSettings.h"
#include "VeilgateExceptionDialog.h"
#include "VeilgateExPage.h"
#include <string.h>
#include <string>

namespace {

struct Options
{
    CString document, service, file;
    int denySide = -1;
    bool dryRun = false;
};

// The document a mode works on, with the side's list and the other one.
struct Lists
{
    Options options;
    Beach beach;
    Quolla* section = NULL;  // open until the mode is done with it
    CStringList own, other;
};

// The mode's options; 0 when they are sound, else the exit code of the
// usage error that was reported.
int ReadOptions(const std::vector<std::string>& args, const std::string& mode, Options& options)
{
    const bool import = mode == "--import-exceptions";
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (import && arg == "--dry-run") {
            options.dryRun = true;
            continue;
        }
        CString* value = arg == "--document" ? &options.document
                         : arg == "--service" ? &options.service
                         : arg == mode ? &options.file
                         : NULL;
        if (value == NULL)
            return Usage("unexpected argument \"" + arg + "\"");
        if (arg == mode) {
            if (i + 2 >= args.size())
                return Usage(arg + " needs allowed or denied and a file");
            const std::string& side = args[++i];
            if (side != "allowed" && side != "denied")
                return Usage(arg + " takes allowed or denied, not \"" + side + "\"");
            options.denySide = side == "denied" ? 1 : 0;
        } else if (i + 1 == args.size()) {
            return Usage(arg + " needs a value");
        }
        if (args[++i].empty())
            return Usage(arg + " needs a value; an empty one was given");
        *value = args[i].c_str();
    }
    if (options.document.IsEmpty() || options.service.IsEmpty())
        return Usage("--document and --service are required");
    return 0;
}

LPCTSTR ListKey(int denySide)
{
    return VgSettings::KeyName(denySide ? VgSettings::UrlsDeny : VgSettings::UrlsAllow);
}

// Reads the mode's options, opens the document and reads both lists; 0,
// or the exit code of the error that was reported.
int Open(const std::vector<std::string>& args, const std::string& mode, Lists& lists)
{
    const Options& options = lists.options;
    if (int code = ReadOptions(args, mode, lists.options))
        return code;
    if (int code = OpenService(lists.beach, options.document, options.service))
        return code;
    lists.section = lists.beach.digQuolla(VgSettings::kFilterSection, options.service);
    if (lists.section == NULL)
        return Fail(std::string("the service \"") + (LPCTSTR)options.service + "\" of " +
                    (LPCTSTR)options.document + " has no section \"" + VgSettings::kFilterSection + "\"");
    QuoValOf<CStringList*> own(&lists.own), other(&lists.other);
    lists.section->getProp(ListKey(options.denySide), own);
    lists.section->getProp(ListKey(!options.denySide), other);
    return 0;
}

// Text of the file (UTF-8) in the process code page. It fails, saying
// why, for bytes that are not UTF-8 or that a CString cannot hold.
bool TextOf(const char* utf8, int length, CString& text, std::string& problem)
{
    bool ascii = true;
    for (int i = 0; i < length && ascii; ++i)
        ascii = utf8[i] > 0;
    if (ascii) {
        text = CString(utf8, length);
        return true;
    }
    if (memchr(utf8, '\0', length) != NULL) {
        problem = "the line holds U+0000";
        return false;
    }
    const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, length, NULL, 0);
    if (wideLength == 0) {
        problem = "the line is not UTF-8 text";
        return false;
    }
    if (GetACP() == CP_UTF8) {
        text = CString(utf8, length);
        return true;
    }
    std::wstring wide(wideLength, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, length, &wide[0], wideLength);
    BOOL lossy = FALSE;
    std::string bytes(wideLength * 2, '\0');
    bytes.resize(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, &bytes[0],
                                     (int)bytes.size(), NULL, &lossy));
    if (lossy) {
        problem = "the line holds characters that the code page (" + std::to_string(GetACP()) + ") cannot hold";
        return false;
    }
    text = CString(bytes.data(), (int)bytes.size());
    return true;
}

// The file's bytes, no more than a document may hold.
bool ReadInput(const CString& path, std::string& bytes, std::string& error)
{
    const std::string name = (LPCTSTR)path;
    unsigned long long declared;
    DWORD failure;
    switch (durable::readFile(name, Beach::maxDocumentBytes, bytes, declared, failure)) {
    case durable::Reading::Done:
        return true;
    case durable::Reading::Folder:
        error = name + ": cannot read the file: it is a folder";
        break;
    case durable::Reading::TooLarge:
        error = name + ": too large: more than " + std::to_string((int)Beach::maxDocumentBytes) +
                " bytes, the most a document holds";
        break;
    case durable::Reading::Failed:
        error = name + ": cannot read the file: " + durable::systemMessage(failure);
        break;
    }
    return false;
}

// Calls line(number, first, length) for every line of bytes, without its
// line end and its leading blanks.
template <class Line>
void ForEachLine(const std::string& bytes, Line line)
{
    size_t pos = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (int number = 1; pos < bytes.size(); ++number) {
        size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = bytes.size();
        const size_t start = bytes.find_first_not_of(" \t", pos);
        if (start < end)
            line(number, bytes.data() + start, (int)(end - start));
        pos = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
}

// Why an import would not give this entry back as it stands: empty when it would.
std::string ReadBackProblem(const CString& entry)
{
    if (entry.FindOneOf("\r\n") >= 0)
        return "the entry holds a line break; an import would read it as more than one line";
    if (entry.IsEmpty())
        return "an import skips an empty line";
    if (entry[0] == '#')
        return "an import skips a line starting with \"#\"";
    if (entry[0] == ' ' || entry[0] == '\t')
        return "an import drops the leading blanks of a line";
    CString read, message;
    if (!ExceptionText::ParseEntry(entry, read, message))
        return std::string("an import would refuse the line: ") + (LPCTSTR)message;
    if (read != entry)
        return std::string("an import would store the line as \"") + (LPCTSTR)read + "\"";
    return std::string();
}

int LineBreaks(const CString& text)
{
    int breaks = 0;
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.GetLength() || text[i + 1] != '\n')))
            ++breaks;
    return breaks;
}

// Whether two paths lead to one file (both exist).
bool SameFile(const CString& a, const CString& b)
{
    BY_HANDLE_FILE_INFORMATION info[2];
    const CString* paths[2] = { &a, &b };
    for (int i = 0; i < 2; ++i) {
        HANDLE file = CreateFileA(*paths[i], 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        BOOL known = GetFileInformationByHandle(file, &info[i]);
        CloseHandle(file);
        if (!known)
            return false;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

// Bytes to stdout as they are: a console is given the characters instead.
void WriteStandardOutput(const std::string& bytes)
{
    HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode, written;
    if (GetConsoleMode(handle, &mode)) {
        Print(bytes);
        return;
    }
    fflush(stdout);
    WriteFile(handle, bytes.data(), (DWORD)bytes.size(), &written, NULL);
}

} // namespace

int ExportExceptions(const std::vector<std::string>& args)
{
    Lists lists;
    if (int code = Open(args, "--export-exceptions", lists))
        return code;
    lists.beach.tossQuolla(lists.section);
    const Options& options = lists.options;
    const CStringList& own = lists.own;

    const std::string out = (LPCTSTR)options.file;
    std::string bytes, warnings;
    CStringList none;
    ExceptionList::Batch readBack(none, none);
    int line = 1;
    for (POSITION pos = own.GetHeadPosition(); pos != NULL;) {
        const CString& entry = own.GetNext(pos);
        std::string problem = ReadBackProblem(entry);
        if (problem.empty() && readBack.Add(entry) != ExceptionList::Batch::Added)
            problem = "an import would take the line for an entry of an earlier line";
        if (!problem.empty())
            warnings += out + ":" + std::to_string(line) + ": warning: " + problem + "\n";
        bytes += Utf8Of(std::string(entry, entry.GetLength())) + "\n";
        line += 1 + LineBreaks(entry);
    }
    CStringList sorted;
    readBack.Result(sorted);
    bool sameOrder = true;
    for (POSITION a = own.GetHeadPosition(), b = sorted.GetHeadPosition(); a != NULL && b != NULL && sameOrder;)
        sameOrder = own.GetNext(a) == sorted.GetNext(b);
    if (!sameOrder)
        warnings += out + ": warning: the list is not in the order the exceptions page shows; an import would "
                          "store it in that order\n";

    if (out == "-") {
        WriteStandardOutput(bytes);
    } else if (SameFile(options.file, options.document)) {
        return Fail(out + ": that is the document itself; it was left as it was");
    } else {
        std::string reason;
        if (!durable::replaceFile(out, bytes, reason))
            return Fail(out + ": " + reason);
    }
    if (!warnings.empty())
        Say(warnings);
    return warnings.empty() ? 0 : 1;
}

int ImportExceptions(const std::vector<std::string>& args)
{
    Lists lists;
    if (int code = Open(args, "--import-exceptions", lists))
        return code;
    const Options& options = lists.options;
    std::string bytes, error;
    if (!ReadInput(options.file, bytes, error)) {
        lists.beach.tossQuolla(lists.section);
        return Fail(error);
    }

    ExceptionList::Batch batch(lists.own, lists.other);
    const std::string in = (LPCTSTR)options.file;
    std::string refusals;
    int present = 0, refused = 0;
    ForEachLine(bytes, [&](int number, const char* first, int length) {
        if (*first == '#')
            return;
        CString line, entry, message;
        std::string problem;
        if (!TextOf(first, length, line, problem)) {
            message = problem.c_str();
        } else if (ExceptionText::ParseEntry(line, entry, message)) {
            switch (batch.Add(entry)) {
            case ExceptionList::Batch::Added:
                return;
            case ExceptionList::Batch::AlreadyListed:
                ++present;
                return;
            case ExceptionList::Batch::InOtherList: {
                CStringArray entries;
                entries.Add(entry);
                message = ExceptionList::OtherListMessage(options.denySide, entries);
                break;
            }
            }
        }
        ++refused;
        refusals += in + ":" + std::to_string(number) + ": " + (LPCTSTR)message + "\n";
    });
    if (!refusals.empty())
        Say(refusals);

    const bool save = batch.AddedCount() > 0 && !options.dryRun;
    if (save) {
        batch.Result(lists.own);
        lists.section->setProp(ListKey(options.denySide), QuoValOf<CStringList*>(&lists.own));
    }
    lists.beach.tossQuolla(lists.section);
    CString saveError;
    if (save && !lists.beach.save(saveError))
        return Fail((LPCTSTR)saveError);
    Print(std::to_string(batch.AddedCount()) + " added, " + std::to_string(present) + " already present, " +
          std::to_string(refused) + " refused\n");
    return refused ? 1 : 0;
}
