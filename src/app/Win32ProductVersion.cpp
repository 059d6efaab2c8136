#include "app/Win32ProductVersion.h"

#include "app/FirstRun.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace flipset {

namespace {

constexpr const char* kUnknown = "Unknown";

// Four lower-case hexadecimal digits.
std::string Hex4(unsigned value)
{
    constexpr const char* kDigits = "0123456789abcdef";
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i) {
        text[static_cast<size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return text;
}

// The first language and code page of the resource's translation table.
struct Translation {
    WORD language;
    WORD codePage;
};

std::string ReadProductVersion()
{
    return GetProductVersionText(ExecutablePath());
}

}  // namespace

std::string GetProductVersionText(const std::string& filePath)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(filePath.c_str(), &ignored);
    if (size == 0)
        return kUnknown;
    std::vector<char> info(size);
    if (!GetFileVersionInfoA(filePath.c_str(), 0, size, info.data()))
        return kUnknown;

    void* table = nullptr;
    UINT tableSize = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &table, &tableSize) ||
        tableSize < sizeof(Translation))
        return kUnknown;
    Translation first{};
    std::memcpy(&first, table, sizeof(first));

    const std::string query =
        "\\StringFileInfo\\" + Hex4(first.language) + Hex4(first.codePage) + "\\ProductVersion";
    void* text = nullptr;
    UINT textLength = 0;
    if (!VerQueryValueA(info.data(), query.c_str(), &text, &textLength) || textLength == 0)
        return kUnknown;
    // The length counts the closing 0 byte; stop at the first 0 either way.
    const std::string version(static_cast<const char*>(text),
                              strnlen(static_cast<const char*>(text), textLength));
    return version.empty() ? kUnknown : version;
}

std::string ExecutablePath()
{
    // A path may be longer than MAX_PATH (up to 32767 characters): grow the
    // buffer until the whole path fits.
    constexpr size_t kLongestPath = 32768;
    for (size_t capacity = MAX_PATH; capacity <= 2 * kLongestPath; capacity *= 2) {
        std::vector<char> path(capacity);
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        if (length < path.size()) {
            CharUpperBuffA(path.data(), length);
            return std::string(path.data(), length);
        }
    }
    return std::string();
}

uint32_t ProgramVersionNumber() noexcept
{
    return CurrentVersionNumber(&ReadProductVersion);
}

}  // namespace flipset
