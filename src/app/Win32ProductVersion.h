// The program's product version, read from a file's version resource.
#pragma once

#include <cstdint>
#include <string>

namespace flipset {

// The "ProductVersion" text of the file's version resource, in the first
// language and code page that the resource lists; "Unknown" when the file
// has no version resource, the text is missing or it is empty.
std::string GetProductVersionText(const std::string& filePath);

// The full path of the running program, in capital letters.
std::string ExecutablePath();

// The running program's product version number (ProductVersionNumber of its
// own product version text), or 2000 when reading it fails with an error.
uint32_t ProgramVersionNumber() noexcept;

}  // namespace flipset
