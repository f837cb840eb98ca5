// Windows file attributes of an entry, from its host system and external attributes.
#pragma once

#include <windows.h>

#include <cstdint>

// version_made_by: the central record's field (host system in the high byte). external: the
// external attributes (Unix mode in the high 16 bits, DOS attributes in the low byte).
// named_as_folder: the sanitised name ends with a separator; such an entry is a folder even when
// the tool that made it left the attribute bits empty.
DWORD ZipEntryAttributes(uint32_t version_made_by, uint32_t external, bool named_as_folder);
