#include "archive/zip_attributes.h"

namespace {

// Host systems whose external attributes carry DOS attribute bits: FAT, Macintosh, NTFS, VFAT.
bool HostUsesDosAttributes(uint32_t host) {
  return host == 0 || host == 7 || host == 11 || host == 14;
}

constexpr uint32_t kUnixDirectoryBit = 0x40000000;  // S_IFDIR in the high word
constexpr uint32_t kUnixOwnerWriteBit = 0x00800000;  // S_IWUSR in the high word

}  // namespace

DWORD ZipEntryAttributes(uint32_t version_made_by, uint32_t external, bool named_as_folder) {
  bool directory = (external & kUnixDirectoryBit) != 0;
  bool read_only = (external & kUnixOwnerWriteBit) == 0;
  bool hidden = false;
  bool system = false;
  bool archive = true;
  if (HostUsesDosAttributes((version_made_by >> 8) & 0xFF)) {
    read_only = (external & FILE_ATTRIBUTE_READONLY) != 0;
    hidden = (external & FILE_ATTRIBUTE_HIDDEN) != 0;
    system = (external & FILE_ATTRIBUTE_SYSTEM) != 0;
    directory = (external & FILE_ATTRIBUTE_DIRECTORY) != 0;
    archive = (external & FILE_ATTRIBUTE_ARCHIVE) != 0;
  }
  if (named_as_folder) directory = true;
  DWORD attributes = 0;
  if (directory) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (archive) attributes |= FILE_ATTRIBUTE_ARCHIVE;
  if (hidden) attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (read_only) attributes |= FILE_ATTRIBUTE_READONLY;
  if (system) attributes |= FILE_ATTRIBUTE_SYSTEM;
  return attributes;
}
