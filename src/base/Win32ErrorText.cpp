#include "base/Win32ErrorText.h"

#include <memory>

namespace flipset {

namespace {

// Frees a buffer that FormatMessageA allocated.
struct LocalFreer {
    void operator()(char* text) const { LocalFree(text); }
};

}  // namespace

std::string SystemErrorText(DWORD error)
{
    char* allocated = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&allocated), 0, nullptr);
    const std::unique_ptr<char, LocalFreer> owner(allocated);
    std::string text = length > 0 && allocated ? std::string(allocated, length) : std::string();
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty())
        text = "system error " + std::to_string(error);
    return text;
}

}  // namespace flipset
