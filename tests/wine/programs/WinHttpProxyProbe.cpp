// Prints the current user's proxy as WinHTTP reads it (from the connection
// record alone): "autodetect=N proxy=TEXT bypass=TEXT script=TEXT". WinINet
// and WinHTTP cannot share one translation unit, hence a program of its
// own. Exits with 1 when WinHTTP answers nothing.
#include <windows.h>
#include <winhttp.h>

#include <cstdio>
#include <string>

namespace {

// The text in ASCII, "?" for any other character: the tests' texts are
// plain ASCII.
std::string Narrow(const wchar_t* text)
{
    std::string narrow;
    for (; text && *text; ++text)
        narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
    return narrow;
}

}  // namespace

int main()
{
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    if (!WinHttpGetIEProxyConfigForCurrentUser(&config)) {
        std::printf("failed=%lu\n", GetLastError());
        return 1;
    }
    std::printf("autodetect=%d proxy=%s bypass=%s script=%s\n", config.fAutoDetect ? 1 : 0,
                Narrow(config.lpszProxy).c_str(), Narrow(config.lpszProxyBypass).c_str(),
                Narrow(config.lpszAutoConfigUrl).c_str());
    for (wchar_t* text : {config.lpszProxy, config.lpszProxyBypass, config.lpszAutoConfigUrl}) {
        if (text)
            GlobalFree(text);
    }
    return 0;
}
