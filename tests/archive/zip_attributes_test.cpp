#include "archive/zip_attributes.h"

#include <gtest/gtest.h>

namespace {

struct AttributeCase {
  unsigned host;
  uint32_t external;
  bool named_as_folder;
  DWORD expected;
};

const AttributeCase kCases[] = {
    {0, 0x21, false, 0x21},                 // FAT: read-only, archive
    {11, 0x26, false, 0x26},                // NTFS: hidden, system, archive
    {14, 0x10, false, 0x10},                // VFAT folder without archive bit
    {7, 0x01, false, 0x01},                 // Macintosh host uses the DOS bits too
    {3, 0100644u << 16, false, 0x20},       // Unix rw-r--r--
    {3, 0100444u << 16, false, 0x21},       // Unix r--r--r--
    {3, 040755u << 16, false, 0x30},        // Unix folder
    {3, (040755u << 16) | 0x10, false, 0x30},
    {3, 0100644u << 16 | 0x01, false, 0x20},  // low DOS bits are ignored for Unix hosts
    {0, 0, true, 0x10},                     // folder by name only
    {3, 0, false, 0x21},                    // Unix mode 0: not writable
};

TEST(ZipAttributesTest, HostSystemDecidesHowExternalAttributesAreRead) {
  for (const AttributeCase& c : kCases) {
    EXPECT_EQ(ZipEntryAttributes(c.host << 8 | 20, c.external, c.named_as_folder), c.expected)
        << "host " << c.host << " external " << std::hex << c.external;
  }
}

}  // namespace
