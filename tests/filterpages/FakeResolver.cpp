#include "FakeResolver.h"

std::vector<std::string> FakeResolver::calls;
std::vector<u_long> FakeResolver::s_addresses;
int FakeResolver::s_startupResult = 0;

FakeResolver::FakeResolver(std::vector<std::string> addresses, int startupResult)
{
    calls.clear();
    s_addresses.clear();
    for (const std::string& a : addresses)
        s_addresses.push_back(inet_addr(a.c_str()));
    s_startupResult = startupResult;
    static const ExceptionSocketCalls fake = { &Startup, &GetHostByName, &Cleanup };
    VgSetExceptionSocketCalls(&fake);
}

FakeResolver::~FakeResolver() { VgSetExceptionSocketCalls(NULL); }

int PASCAL FakeResolver::Startup(WORD wVersion, LPWSADATA)
{
    calls.push_back("WSAStartup " + std::to_string(LOBYTE(wVersion)) + "." + std::to_string(HIBYTE(wVersion)));
    return s_startupResult;
}

struct hostent* PASCAL FakeResolver::GetHostByName(const char* name)
{
    calls.push_back(std::string("gethostbyname ") + name + (CWaitCursor::GetWaitCount() > 0 ? " (wait cursor)" : ""));
    if (s_addresses.empty())
        return NULL;
    static std::vector<char*> list;
    static struct hostent entry;
    list.clear();
    for (u_long& a : s_addresses)
        list.push_back(reinterpret_cast<char*>(&a));
    list.push_back(NULL);
    entry.h_name = const_cast<char*>(name);
    entry.h_aliases = NULL;
    entry.h_addrtype = AF_INET;
    entry.h_length = 4;
    entry.h_addr_list = list.data();
    return &entry;
}

int PASCAL FakeResolver::Cleanup()
{
    calls.push_back("WSACleanup");
    return 0;
}
