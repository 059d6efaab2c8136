// The printers that the Desktop and Sound dialog offers as the default
// printer: one entry per printer device the current user has, "name,data",
// the data naming the printer's driver and port.
#pragma once

#include "base/Text.h"
#include "store/Registry.h"

#include <string>

namespace flipset {

// Under HKEY_CURRENT_USER: one text value per printer, named after it.
constexpr const char* kPrinterDevicesKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices";

// The entry of one printer: its name, a comma, and its data.
std::string PrinterEntry(const std::string& name, const std::string& data);

// The entries of the printer devices in the order in which the registry
// enumerates them; a value whose data is empty is no printer
// and is left out. A missing key gives an empty list.
StringList ListPrinterEntries(CRegistry registry);

}  // namespace flipset
