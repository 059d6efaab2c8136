#include "ui/LoadText.h"

#include <vector>

namespace flipset {

std::string LoadText(UINT id)
{
    // LoadStringA cuts a text to the buffer and says only how much it
    // copied: a text that fills the buffer is read again into a larger one.
    std::vector<char> buffer(256);
    for (;;) {
        const int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer.data(),
                                       static_cast<int>(buffer.size()));
        if (length <= 0)
            return std::string();
        if (static_cast<size_t>(length) + 1 < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string FormatText(UINT id, const StringList& arguments)
{
    return FillPlaceholders(LoadText(id), arguments);
}

}  // namespace flipset
