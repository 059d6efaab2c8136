// Decoding any bytes as a stored snapshot refuses them with a reason or
// gives a snapshot; the format has one spelling for each snapshot, so what
// was accepted encodes back to exactly the same bytes.
#include "state/StateSnapshot.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const flipset::ByteArray bytes(data, data + size);
    flipset::RunSnapshot snapshot;
    std::string error;
    if (!flipset::DecodeSnapshot(bytes, snapshot, error)) {
        Check(!error.empty());
        Check(snapshot.configurationName.empty() && snapshot.state.files.empty());
        return 0;
    }
    Check(flipset::EncodeSnapshot(snapshot) == bytes);
    return 0;
}
