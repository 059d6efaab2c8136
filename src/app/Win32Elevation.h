// Whether this process is elevated, from its access token.
#pragma once

#include "app/Elevation.h"

namespace flipset {

// The environment variable that makes a process take itself as not
// elevated. Under Wine every process is elevated, so the tests show the
// path of a standard user with it. It can only take rights away, never give
// them, and it is removed from the environment when read, so that the copy
// started again through "runas" runs with its real token.
inline constexpr const char* kTestNotElevatedVariable = "FLIPSET_TEST_NOT_ELEVATED";

class Win32Elevation : public Elevation {
public:
    // Reads the token's TokenElevation once. Where the token cannot tell
    // (a system without user account control), the process counts as
    // elevated: there the rights are those of the user, and every write
    // reports its own failure.
    Win32Elevation();
    bool IsElevated() const override { return elevated_; }

private:
    bool elevated_;
};

}  // namespace flipset
