// The typefaces enumeration reports, alike on every system: the system's own
// face names first, then the installed families, which each system lists.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace platform {

// The installed families by CP932 name, each with its character set
// (SHIFTJIS_CHARSET or SYMBOL_CHARSET when any of its fonts has it, else
// ANSI_CHARSET). Defined by each system's fonts.
std::map<std::string, std::uint8_t> InstalledFamilies();

} // namespace platform
