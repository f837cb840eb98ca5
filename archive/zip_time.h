// Entry times: DOS date and time fields and the extended-timestamp ("UT") extra block.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

struct ZipEntry;

// Converts minizip's combined DOS stamp (date in the high 16 bits, time in the low 16) taken as
// local time into UTC. A stamp that names no real moment (month 0, 31 February, 25:00, ...) gives
// a zero FILETIME rather than whatever the conversion would make of it.
FILETIME ZipDosTimeToFileTime(uint32_t dos_stamp);

// Seconds since 1970-01-01 UTC (signed, as stored in the UT block) as a FILETIME.
FILETIME ZipUnixTimeToFileTime(int32_t seconds);

// Scans a local extra field for the first UT block and replaces the entry's write, access and
// creation times with the ones it holds. A time counts only when it lies wholly inside both the
// block and the field, so a block that announces more times than it carries never reads the next
// block's bytes as a time.
void ZipApplyExtendedTimes(const unsigned char* extra, size_t length, ZipEntry* entry);
