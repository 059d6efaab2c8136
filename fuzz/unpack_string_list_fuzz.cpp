// Unpacking any bytes gives trimmed, non-blank entries without 0 bytes, and
// packing that list and unpacking it again gives the same list.
#include "base/Text.h"
#include "store/Registry.h"

#include <cstddef>
#include <cstdint>
#include <string>

using flipset::ByteArray;
using flipset::CRegistry;
using flipset::StringList;

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ByteArray bytes(data, data + size);
    StringList strings;
    CRegistry::UnpackStringList(bytes, strings);

    for (const std::string& entry : strings) {
        Check(!entry.empty());
        Check(!flipset::IsWhiteSpace(entry.front()));
        Check(!flipset::IsWhiteSpace(entry.back()));
        Check(entry.find('\0') == std::string::npos);
    }

    ByteArray packed;
    CRegistry::PackStringList(strings, packed);
    StringList again;
    CRegistry::UnpackStringList(packed, again);
    Check(again == strings);
    return 0;
}
