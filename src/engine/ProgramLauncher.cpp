#include "engine/ProgramLauncher.h"

namespace flipset {

namespace {

void LaunchEntry(RunContext& ctx, Shell& shell, const std::string& entry)
{
    ctx.Host().SetCaption("Running " + entry);
    const RunEntryParts parts = SplitRunEntry(entry);
    const std::string file = ShortPathOf(shell, parts.program);
    // An empty file name would leave it to the shell what to open.
    if (file.empty())
        return;
    const std::string failure = shell.Open(file, parts.parameters);
    if (!failure.empty())
        ctx.Host().ShowError("Unable to start " + file + ": " + failure);
}

}  // namespace

RunEntryParts SplitRunEntry(const std::string& entry)
{
    const size_t open = entry.find('[');
    const size_t close = entry.rfind(']');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return {Trim(entry), std::string()};
    return {Trim(entry.substr(0, open)), Trim(entry.substr(open + 1, close - open - 1))};
}

std::string ShortPathOf(Shell& shell, const std::string& path)
{
    if (path.empty())
        return std::string();
    return shell.ShortPathName(path);
}

void RunProgramsPhase(RunContext& ctx, Shell& shell, const std::string& title)
{
    StringList entries;
    if (ctx.ReadCodedList(ConfigurationValue::kPrograms, entries)) {
        for (const std::string& entry : entries) {
            // Whatever goes wrong with one entry abandons only its launch:
            // the wait after it still paces the next one.
            try {
                LaunchEntry(ctx, shell, entry);
            } catch (...) {
            }
            ctx.Host().SetCaption("Waiting InRunTimeout");
            ctx.Host().WaitWithMessages(ctx.ReadWait(ProgramSettings::kInRunWait));
            ctx.Host().SetCaption("Waiting InRunTimeout Completed");
        }
    }
    ctx.Host().SetCaption(title + " - Ready");
}

}  // namespace flipset
