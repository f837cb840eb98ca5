// The test program runs with TZ=UTC, so local DOS stamps equal UTC instants here.
#include "archive/zip_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "archive/zip_reader.h"
#include "tests/archive/zip_test_support.h"

namespace {

constexpr uint64_t kTicksPerSecond = 10000000ULL;
constexpr uint64_t kUnixEpoch = 116444736000000000ULL;

uint32_t Stamp(int year, int month, int day, int hour, int minute, int second) {
  const uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | (month << 5) | day);
  const uint32_t time = static_cast<uint32_t>((hour << 11) | (minute << 5) | (second / 2));
  return (date << 16) | time;
}

uint64_t UnixTicks(int64_t seconds) {
  return static_cast<uint64_t>(seconds * static_cast<int64_t>(kTicksPerSecond)) + kUnixEpoch;
}

TEST(ZipTimeTest, DosStampBecomesTheSameInstantInUtc) {
  // 2021-06-15 12:30:44 UTC is 1623760244 seconds after 1970.
  EXPECT_EQ(FileTimeValue(ZipDosTimeToFileTime(Stamp(2021, 6, 15, 12, 30, 44))),
            UnixTicks(1623760244));
  // 2020-02-29 23:59:58, a leap day: 1583020798.
  EXPECT_EQ(FileTimeValue(ZipDosTimeToFileTime(Stamp(2020, 2, 29, 23, 59, 58))),
            UnixTicks(1583020798));
  // The earliest DOS moment, 1980-01-01 00:00:00: 315532800.
  EXPECT_EQ(FileTimeValue(ZipDosTimeToFileTime(Stamp(1980, 1, 1, 0, 0, 0))),
            UnixTicks(315532800));
}

TEST(ZipTimeTest, ImpossibleDosStampsGiveZeroTimes) {
  const uint32_t impossible[] = {
      0,                                   // month 0, day 0
      Stamp(2021, 13, 1, 0, 0, 0),         // month 13
      Stamp(2021, 2, 29, 0, 0, 0),         // not a leap year
      Stamp(2021, 4, 31, 0, 0, 0),         // April has 30 days
      Stamp(2021, 6, 0, 0, 0, 0),          // day 0
      Stamp(2021, 6, 1, 24, 0, 0),         // hour 24
      Stamp(2021, 6, 1, 0, 60, 0),         // minute 60
      (Stamp(2021, 6, 1, 0, 0, 0) | 30),   // seconds field 30 = 60 s
  };
  for (uint32_t stamp : impossible) {
    EXPECT_EQ(FileTimeValue(ZipDosTimeToFileTime(stamp)), 0u) << std::hex << stamp;
  }
}

std::vector<unsigned char> UtBlock(unsigned char flags, uint16_t size,
                                   const std::vector<int32_t>& times) {
  std::vector<unsigned char> block = {'U', 'T', static_cast<unsigned char>(size),
                                      static_cast<unsigned char>(size >> 8), flags};
  for (int32_t t : times) {
    const uint32_t u = static_cast<uint32_t>(t);
    for (int shift = 0; shift < 32; shift += 8) block.push_back(static_cast<unsigned char>(u >> shift));
  }
  return block;
}

ZipEntry EntryWithTimes(uint64_t value) {
  ZipEntry entry = {};
  const FILETIME time = {static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
  entry.write_time = entry.access_time = entry.creation_time = time;
  return entry;
}

TEST(ZipTimeTest, ExtendedTimestampReplacesOnlyTheTimesItCarries) {
  const uint64_t dos = 42;
  ZipEntry entry = EntryWithTimes(dos);
  std::vector<unsigned char> extra = UtBlock(0x01, 5, {1600000000});
  ZipApplyExtendedTimes(extra.data(), extra.size(), &entry);
  EXPECT_EQ(FileTimeValue(entry.write_time), UnixTicks(1600000000));
  EXPECT_EQ(FileTimeValue(entry.access_time), dos);
  EXPECT_EQ(FileTimeValue(entry.creation_time), dos);

  entry = EntryWithTimes(dos);
  extra = UtBlock(0x07, 13, {100, -86400, 300});
  ZipApplyExtendedTimes(extra.data(), extra.size(), &entry);
  EXPECT_EQ(FileTimeValue(entry.write_time), UnixTicks(100));
  EXPECT_EQ(FileTimeValue(entry.access_time), UnixTicks(-86400));
  EXPECT_EQ(FileTimeValue(entry.creation_time), UnixTicks(300));

  // Access and creation flags without modification time: the first stored time is the access.
  entry = EntryWithTimes(dos);
  extra = UtBlock(0x06, 9, {500, 600});
  ZipApplyExtendedTimes(extra.data(), extra.size(), &entry);
  EXPECT_EQ(FileTimeValue(entry.write_time), dos);
  EXPECT_EQ(FileTimeValue(entry.access_time), UnixTicks(500));
  EXPECT_EQ(FileTimeValue(entry.creation_time), UnixTicks(600));
}

TEST(ZipTimeTest, ScanSkipsOtherBlocksAndNeverReadsPastTheBlockOrField) {
  // An unrelated block first.
  std::vector<unsigned char> extra = {0x75, 0x78, 3, 0, 1, 2, 3};
  const std::vector<unsigned char> ut = UtBlock(0x01, 5, {1400000000});
  extra.insert(extra.end(), ut.begin(), ut.end());
  ZipEntry entry = EntryWithTimes(7);
  ZipApplyExtendedTimes(extra.data(), extra.size(), &entry);
  EXPECT_EQ(FileTimeValue(entry.write_time), UnixTicks(1400000000));

  // Flags announce three times, the block holds one, and another block follows.
  extra = UtBlock(0x07, 5, {1300000000});
  const std::vector<unsigned char> after = {0x75, 0x78, 8, 0, 1, 1, 1, 1, 2, 2, 2, 2};
  extra.insert(extra.end(), after.begin(), after.end());
  entry = EntryWithTimes(7);
  ZipApplyExtendedTimes(extra.data(), extra.size(), &entry);
  EXPECT_EQ(FileTimeValue(entry.write_time), UnixTicks(1300000000));
  EXPECT_EQ(FileTimeValue(entry.access_time), 7u);
  EXPECT_EQ(FileTimeValue(entry.creation_time), 7u);

  // The block claims more data than the field has: the partial time is ignored.
  extra = UtBlock(0x01, 5, {1200000000});
  extra.resize(extra.size() - 2);
  entry = EntryWithTimes(7);
  ZipApplyExtendedTimes(extra.data(), extra.size(), &entry);
  EXPECT_EQ(FileTimeValue(entry.write_time), 7u);

  // A block header that does not leave room for its flags byte ends the scan.
  extra = {'U', 'T', 5, 0};
  entry = EntryWithTimes(7);
  ZipApplyExtendedTimes(extra.data(), extra.size(), &entry);
  EXPECT_EQ(FileTimeValue(entry.write_time), 7u);
}

}  // namespace
