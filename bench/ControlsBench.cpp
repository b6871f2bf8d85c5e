// The controls page shown with the longest deny message its field takes,
// in one paragraph and in 80-character lines, beside an empty message: the
// word-wrapping edit's cost grows with the square of a paragraph's length.
#include "BenchSupport.h"
#include "afxdlgs.h"
#include "VeilgateControlPage.h"
#include <stdio.h>

namespace {

double ShowControlsPage(const CString& message)
{
    return TimeToFirstIdle([&] {
        CString denyMessage = message;
        int activate = 0, bypass = 0;
        VeilgateControlPage page(&denyMessage, &activate, &bypass);
        CPropertySheet sheet("HTTP Proxy");
        sheet.AddPage(&page);
        sheet.DoModal();
    });
}

} // namespace

void BenchControls()
{
    const int limit = VeilgateControlPage::DenyMessageLimit;
    CString paragraph;
    while (paragraph.GetLength() < limit)
        paragraph += "Access to this site is blocked. ";
    paragraph = paragraph.Left(limit);
    CString lines;
    for (int i = 0; i < limit; i += 80)
        lines += (i > 0 ? "\r\n" : "") + paragraph.Mid(i, 80);

    printf("\ndeny message of %d characters; median of %d runs\n\n", limit, kRuns);
    double empty = ShowControlsPage("");
    double inLines = ShowControlsPage(lines);
    double inOneParagraph = ShowControlsPage(paragraph);
    Row("controls page, message in one paragraph", inOneParagraph, "the same in 80-character lines", inLines);
    Row("controls page, message in 80-character lines", inLines, "floor: an empty message", empty);
}
