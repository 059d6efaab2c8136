// The check of the stored program version at the start of the main window,
// with the first-run question that chooses where configurations live.
#pragma once

#include "store/Registry.h"

#include <cstdint>
#include <string>

namespace flipset {

// A stored "Version" below this number means the program has not run here
// yet (or ran as a version too old to have asked the question).
constexpr uint32_t kFirstRunVersionBelow = 2000;

// The current version number when reading it is interrupted by an error:
// the first-run question is still asked where nothing is stored, and the
// next start that reads its real number updates "Version" without asking.
constexpr uint32_t kVersionNumberOnError = 2000;

// The first-run question: "You are using Quillon Flipset for the first
// time.\nDo you want to share configurations by all users?" with Yes and No.
class FirstRunQuestion {
public:
    virtual ~FirstRunQuestion() = default;
    // True for Yes.
    virtual bool AskShareConfigurations() = 0;
};

// The product version text with every " ", "," and "." removed and its
// leading decimal digits read as a number: "3, 1, 0, 27" gives 31027.
// A text that does not begin with a digit gives 0, and so do digits that
// describe a number above 4294967295: such a text names no version.
uint32_t ProductVersionNumber(const std::string& productVersionText);

// ProductVersionNumber of the text that readProductVersionText returns, or
// kVersionNumberOnError when reading it throws (out of memory).
uint32_t CurrentVersionNumber(std::string (*readProductVersionText)()) noexcept;

// Compares the stored "Version" (HKEY_LOCAL_MACHINE, 0 when missing) with
// currentVersion:
//   below 2000: stores currentVersion; when configurations exist under
//               HKEY_LOCAL_MACHINE and "UserSettings" is missing or 0,
//               stores "UserSettings" 0 (shared) without asking; else asks
//               the question and stores "UserSettings" 0 for Yes (shared)
//               or 1 for No (per user);
//   otherwise below currentVersion: stores currentVersion without asking;
//   otherwise: changes nothing.
// Failed writes are ignored: without the right to write HKEY_LOCAL_MACHINE
// the question comes back at every start.
void CheckVersionAndFirstRun(CRegistry registry, uint32_t currentVersion,
                             FirstRunQuestion& question);

// Stores "UserSettings" 0 (shared) when it is missing. A verb that wrote
// configurations before the program's first start calls it: it used the
// machine-wide root, and the choice stored so keeps them in every user's
// view, where the first-run question's "No" would have hidden them.
void StoreSharedChoiceWhenMissing(CRegistry registry);

}  // namespace flipset
