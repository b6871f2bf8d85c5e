// The deny message's two forms.
//
// Display form: lines end in CR LF (a multi-line edit box).
// Stored form: lines end in LF; a line that starts with "<" or "%" carries
// an escape "%" in front, so that the filter does not read it as markup or
// a directive.
#include "VeilgateSettings.h"

// Calls fn for each piece of text between line feeds. As with strtok, runs
// of line feeds separate once and never yield an empty piece.
template <class Fn>
static void ForEachLine(const CString& text, Fn fn)
{
    int start = 0;
    int length = text.GetLength();
    while (start < length) {
        while (start < length && text[start] == '\n')
            ++start;
        if (start == length)
            break;
        int end = text.Find('\n', start);
        if (end < 0)
            end = length;
        fn(text.Mid(start, end - start));
        start = end;
    }
}

CString VgSettings::StoredMessage(const CString& text)
{
    CString result;
    ForEachLine(text, [&result](CString line) {
        line.TrimRight('\r');
        if (!line.IsEmpty() && (line[0] == '<' || line[0] == '%'))
            result += '%';
        result += line;
        result += '\n';
    });
    result.TrimRight('\n');
    return result;
}

CString VgSettings::DisplayMessage(const CString& text)
{
    CString result;
    ForEachLine(text, [&result](const CString& piece) {
        CString line = piece + "\r\n";
        line.TrimLeft(" \t\r\n\v\f");
        if (!line.IsEmpty() && line[0] == '%')
            result += line.Mid(1);
        else
            result += line;
    });
    result.TrimRight("\r\n");
    return result;
}
