// The "last run" snapshot: the machine's state before a run, with the
// configuration's name and the time, kept in one binary value of the
// program's key so that it is written whole before the run changes anything.
//
// The bytes: "FLSS", the format version, the payload's length and its
// FNV-1a checksum (each 32 bits, little-endian), then the payload. A value
// that is cut short, altered, of another type or from a newer format is
// refused whole; nothing of it is used.
#pragma once

#include "state/MachineState.h"
#include "store/Registry.h"

#include <cstdint>
#include <string>

namespace flipset {

// Format 2 adds the proxy after the services; a snapshot of format 1 reads
// as one that holds no proxy. Format 3 adds, after the proxy, each card's
// values on its live adapter where it has them; a snapshot of an older
// format reads as one whose cards have none.
constexpr uint32_t kSnapshotFormatVersion = 3;

struct RunSnapshot {
    std::string configurationName;
    std::string time;  // as shown to the user, "YYYY-MM-DD hh:mm:ss"
    MachineState state;
};

ByteArray EncodeSnapshot(const RunSnapshot& snapshot);

// False, with the reason, for anything but a whole snapshot of a known
// format; snapshot is then left empty.
bool DecodeSnapshot(const ByteArray& bytes, RunSnapshot& snapshot, std::string& error);

enum class SnapshotLoad { Loaded, Missing, Refused };

// Writes the snapshot as the last run's under the root's program key.
bool StoreLastRunSnapshot(CRegistry registry, RegistryRoot root, const RunSnapshot& snapshot);

// Removes the last run's snapshot, so that none of an earlier run is taken
// for the last one's; true when none is left.
bool ForgetLastRunSnapshot(CRegistry registry, RegistryRoot root);

// Reads the last run's snapshot; Refused with the reason when it is there
// but cannot be used.
SnapshotLoad LoadLastRunSnapshot(CRegistry registry, RegistryRoot root, RunSnapshot& snapshot,
                                 std::string& error);

}  // namespace flipset
