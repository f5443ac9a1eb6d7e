#pragma once

#include <cstdint>
#include <string>

// Gives the file the DOS date (high 16 bits) and time (low 16 bits, local
// time) as its creation and last-write times; the last-access time is kept.
// Failures are ignored.
void setFileTimes(const std::string& path, std::uint32_t dosDateTime);

// The same on a file already open with write access (a HANDLE), which saves
// opening it again. Nothing may be written through the handle afterwards.
void setFileTimesOnHandle(void* file, std::uint32_t dosDateTime);
