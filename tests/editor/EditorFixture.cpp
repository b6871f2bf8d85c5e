#include "EditorFixture.h"
#include "testres.h"

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
    if (refusals > 0) {
        --refusals;
        return FALSE;
    }
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
