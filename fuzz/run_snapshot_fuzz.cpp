// Decoding any bytes as a stored snapshot refuses them with a reason or
// gives a snapshot; the format has one spelling for each snapshot, so what
// was accepted in the current format encodes back to exactly the same
// bytes, and what was accepted in an older one encodes to a snapshot that
// reads as the same.
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
    const flipset::ByteArray encoded = flipset::EncodeSnapshot(snapshot);
    if (bytes[4] == flipset::kSnapshotFormatVersion) {
        Check(encoded == bytes);
        return 0;
    }
    flipset::RunSnapshot again;
    Check(flipset::DecodeSnapshot(encoded, again, error));
    Check(flipset::EncodeSnapshot(again) == encoded);
    return 0;
}
