// The entries of a stored list (programs to run, services to stop or start)
// coded and decoded one by one with the list key, as every reader and writer
// of such a list needs them.
#pragma once

#include "base/Text.h"

namespace flipset {

StringList CodeListEntries(const StringList& entries);
StringList DecodeListEntries(const StringList& codedEntries);

}  // namespace flipset
