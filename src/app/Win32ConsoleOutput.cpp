#include "app/Win32ConsoleOutput.h"

#include <vector>

namespace flipset {

namespace {

bool IsUsable(HANDLE handle)
{
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool IsConsole(HANDLE handle)
{
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != FALSE;
}

void WriteBytes(HANDLE handle, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                       &written, nullptr) ||
            written == 0)
            return;  // a closed pipe: the rest is lost, the verb goes on
        done += written;
    }
}

// ANSI text to the console as UTF-16, whatever the console's code page.
void WriteConsoleText(HANDLE handle, const std::string& text)
{
    if (text.empty())
        return;
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return;
    std::vector<wchar_t> wide(static_cast<size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

// The lines with their line ends, as one text.
std::string LinesText(const StringList& lines)
{
    size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    return text;
}

}  // namespace

Win32ConsoleOutput::~Win32ConsoleOutput()
{
    if (ownsHandle_)
        CloseHandle(handle_);
}

void Win32ConsoleOutput::ChooseTarget()
{
    chosen_ = true;
    for (DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        const HANDLE handle = GetStdHandle(which);
        if (IsUsable(handle)) {
            handle_ = handle;
            console_ = IsConsole(handle);
            return;
        }
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    const HANDLE console =
        CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE)
        return;
    handle_ = console;
    console_ = true;
    ownsHandle_ = true;
}

void Win32ConsoleOutput::Write(const std::string& text)
{
    if (!chosen_)
        ChooseTarget();
    if (handle_ == nullptr)
        return;
    if (console_)
        WriteConsoleText(handle_, text);
    else
        WriteBytes(handle_, text);
}

void Win32ConsoleOutput::WriteLine(const std::string& line)
{
    Write(line + "\r\n");
}

void Win32ConsoleOutput::WriteLines(const StringList& lines)
{
    if (!lines.empty())
        Write(LinesText(lines));
}

Win32FileOutput::Win32FileOutput(const std::string& path)
    : file_(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

void Win32FileOutput::WriteLine(const std::string& line)
{
    if (file_)
        WriteBytes(file_.Get(), line + "\r\n");
}

void Win32FileOutput::WriteLines(const StringList& lines)
{
    if (file_ && !lines.empty())
        WriteBytes(file_.Get(), LinesText(lines));
}

}  // namespace flipset
