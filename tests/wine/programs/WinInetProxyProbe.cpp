// Prints the proxy that WinINet gives this process, as a program started
// after a run sees it: "access=N proxy=TEXT bypass=TEXT" (access 1 direct,
// 3 through the named proxy). Exits with 1 when WinINet answers nothing.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <vector>

int main()
{
    DWORD size = 0;
    InternetQueryOptionA(nullptr, INTERNET_OPTION_PROXY, nullptr, &size);
    if (size < sizeof(INTERNET_PROXY_INFO))
        size = 4096;
    std::vector<unsigned char> buffer(size);
    if (!InternetQueryOptionA(nullptr, INTERNET_OPTION_PROXY, buffer.data(), &size)) {
        std::printf("failed=%lu\n", GetLastError());
        return 1;
    }
    const auto* info = reinterpret_cast<const INTERNET_PROXY_INFO*>(buffer.data());
    std::printf("access=%lu proxy=%s bypass=%s\n", info->dwAccessType,
                info->lpszProxy ? reinterpret_cast<const char*>(info->lpszProxy) : "",
                info->lpszProxyBypass ? reinterpret_cast<const char*>(info->lpszProxyBypass) : "");
    return 0;
}
