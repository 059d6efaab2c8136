// Export, import and duplication of configurations: what the command line
// and the main window call. Each operation either does all of its work or,
// on a fault, changes nothing, and tells the caller how it went with a
// status and message lines.
#pragma once

#include "base/Text.h"
#include "store/Registry.h"
#include "transfer/CodePage.h"
#include "transfer/FileAccess.h"

#include <string>
#include <string_view>

namespace flipset {

// Numbered as the command line's exit codes.
enum class TransferStatus {
    Done = 0,
    NoSuchConfiguration = 1,  // a name given has no configuration; nothing was changed
    FileFault = 4,  // the file could not be read, understood or written; nothing was changed
    NameTaken = 5,  // an imported name is already taken; nothing was changed
};

struct TransferResult {
    TransferStatus status = TransferStatus::Done;
    // One message a line; a line that reports a fault starts with "error:".
    StringList lines;
    // Import: the last configuration written; Duplicate: the copy. The
    // main window selects it. Empty name and 0 when nothing was written.
    std::string name;
    int number = 0;
};

class ConfigurationTransfer {
public:
    // root: the configuration root. The network cards are read from the same
    // registry, under HKEY_LOCAL_MACHINE.
    ConfigurationTransfer(CRegistry registry, RegistryRoot root, const CodePageConverter& codePage,
                          FileAccess& files);

    // Writes the named configurations (names trimmed, compared ignoring
    // case), or every configuration when names is empty, to the file.
    TransferResult Export(const std::string& path, const StringList& names) const;

    // Adds the file's configurations under new numbers. A name that is
    // taken stops the import unless replace is set: that configuration is
    // then replaced as a whole by the file's and keeps its number. A card is
    // matched to this machine's cards by description, exactly and then
    // ignoring case; a card without a match is left out and reported.
    TransferResult Import(const std::string& path, bool replace) const;

    // Copies the configuration, every value and card, under a new number
    // and the name "NAME - copy" (then "NAME - copy 2", ...), made unique.
    TransferResult Duplicate(const std::string& name) const;

private:
    CRegistry registry_;
    RegistryRoot root_;
    const CodePageConverter& codePage_;
    FileAccess& files_;
};

// The name of a copy of the configuration that is not taken yet: the name,
// " - copy", and from the second copy on a number.
std::string UniqueCopyName(CRegistry registry, RegistryRoot root, const std::string& name);

}  // namespace flipset
