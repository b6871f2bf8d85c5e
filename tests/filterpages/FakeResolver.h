// A resolver the test controls, in place of the Windows Sockets calls of the
// exception definition dialog for as long as the object lives. It answers
// every name with the addresses given (none: the name is not found) and
// records each call, in order.
#pragma once

#include "VeilgateExceptionDialog.h"
#include <string>
#include <vector>

class FakeResolver
{
public:
    explicit FakeResolver(std::vector<std::string> addresses = {}, int startupResult = 0);
    ~FakeResolver();

    // "WSAStartup 1.1", "gethostbyname NAME (wait cursor)", "WSACleanup"
    static std::vector<std::string> calls;

private:
    static int PASCAL Startup(WORD wVersion, LPWSADATA lpData);
    static struct hostent* PASCAL GetHostByName(const char* name);
    static int PASCAL Cleanup();

    static std::vector<u_long> s_addresses;  // network byte order
    static int s_startupResult;
};
