// A program that the launcher tests start: it records the command line it
// was started with in "flipset_record_args.txt" beside itself, and exits.
// The record is written under another name first and then renamed, so a test
// polling for it never reads it half written.
#include <windows.h>

#include <string>

namespace {

// The folder of this program, with its trailing separator.
std::string OwnFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
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

}  // namespace

int main()
{
    const std::string folder = OwnFolder();
    if (folder.empty())
        return 1;
    const std::string record = folder + "flipset_record_args.txt";
    const std::string partial = record + ".partial";
    if (!WriteWhole(partial, GetCommandLineA()) ||
        !MoveFileExA(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(partial.c_str());
        return 1;
    }
    return 0;
}
