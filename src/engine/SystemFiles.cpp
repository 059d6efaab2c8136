#include "engine/SystemFiles.h"

namespace flipset {

std::string SystemFileContent(const StringList& strings)
{
    std::string content;
    for (const std::string& text : strings) {
        content += text;
        content += '\n';
    }
    return content;
}

std::string SystemFilesFolder(FileSystem& fileSystem)
{
    return fileSystem.SystemDirectory() + "\\Drivers\\Etc";
}

std::string SystemFilePath(FileSystem& fileSystem, const char* fileName)
{
    return SystemFilesFolder(fileSystem) + "\\" + fileName;
}

void WriteSystemFile(RunContext& ctx, FileSystem& fileSystem, const std::string& path,
                     const char* valueName)
{
    StringList strings;
    if (!ctx.ReadList(valueName, strings) || strings.empty())
        return;
    // The old file stays whole when the replacement fails; the run never
    // reports it.
    fileSystem.ReplaceFileContent(path, SystemFileContent(strings));
}

void ApplyStartPage(RunContext& ctx)
{
    const std::string address = Trim(ctx.ReadString(ConfigurationValue::kStartPage, ""));
    if (address.empty())
        return;
    (void)ctx.Registry().WriteString(kBrowserMainKey, kStartPageValue, address,
                                     RegistryRoot::CurrentUser);
}

}  // namespace flipset
