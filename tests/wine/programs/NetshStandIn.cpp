// Stands in for netsh.exe in the prefix of the test network. A Windows
// program under Wine can start a Linux program but never learns its exit
// code or output, so each request goes to the Linux-side helper through
// files: the arguments are written to "<id>.req" in the folder named by
// FLIPSET_NETSH_REQUESTS (written under another name and renamed, so the
// helper never reads half a request), and the helper's answer comes back
// as "<id>.done", whose text this program prints as netsh would.
//
// FLIPSET_NETSH_IGNORE: a request whose arguments contain this text is
// ignored on purpose, exiting 0 with no output as Wine's own netsh does.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kAnswerTimeout = 10000;
constexpr DWORD kPoll = 20;

std::string Environment(const char* name)
{
    char value[1024];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value, length) : std::string();
}

// The command line after the program's own path.
std::string Arguments()
{
    const std::string line = GetCommandLineA();
    size_t at = 0;
    if (!line.empty() && line[0] == '"') {
        at = line.find('"', 1);
        at = at == std::string::npos ? line.size() : at + 1;
    } else {
        at = line.find(' ');
        at = at == std::string::npos ? line.size() : at;
    }
    while (at < line.size() && line[at] == ' ')
        ++at;
    return line.substr(at);
}

bool WriteWhole(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    return CloseHandle(file) && ok;
}

bool ReadWhole(const std::string& path, std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    return true;
}

}  // namespace

int main()
{
    const std::string folder = Environment("FLIPSET_NETSH_REQUESTS");
    const std::string arguments = Arguments();
    if (folder.empty()) {
        std::printf("FLIPSET_NETSH_REQUESTS names no request folder\n");
        return 1;
    }
    const std::string ignore = Environment("FLIPSET_NETSH_IGNORE");
    if (!ignore.empty() && arguments.find(ignore) != std::string::npos)
        return 0;

    const std::string id =
        std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64());
    const std::string base = folder + "\\" + id;
    if (!WriteWhole(base + ".tmp", arguments) ||
        !MoveFileA((base + ".tmp").c_str(), (base + ".req").c_str())) {
        std::printf("the request could not be written to %s\n", folder.c_str());
        return 1;
    }
    const ULONGLONG deadline = GetTickCount64() + kAnswerTimeout;
    std::string answer;
    while (!ReadWhole(base + ".done", answer)) {
        if (GetTickCount64() >= deadline) {
            std::printf("no answer from the test network\n");
            return 1;
        }
        Sleep(kPoll);
    }
    DeleteFileA((base + ".done").c_str());
    std::fputs(answer.c_str(), stdout);
    return 0;
}
