#include "archive/zip_time.h"

#include "archive/zip_reader.h"

namespace {

constexpr int64_t kUnixEpochAsFileTime = 116444736000000000LL;
constexpr int64_t kTicksPerSecond = 10000000LL;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

FILETIME FromTicks(int64_t ticks) {
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks));
  time.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
  return time;
}

uint16_t ReadLe16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

int32_t ReadLe32(const unsigned char* p) {
  const uint32_t value = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  return static_cast<int32_t>(value);
}

}  // namespace

FILETIME ZipDosTimeToFileTime(uint32_t dos_stamp) {
  const FILETIME zero = {};
  const uint32_t date = dos_stamp >> 16;
  const uint32_t time = dos_stamp & 0xFFFF;
  const int year = 1980 + static_cast<int>(date >> 9);
  const int month = static_cast<int>((date >> 5) & 0x0F);
  const int day = static_cast<int>(date & 0x1F);
  const int hour = static_cast<int>(time >> 11);
  const int minute = static_cast<int>((time >> 5) & 0x3F);
  const int second = 2 * static_cast<int>(time & 0x1F);
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
      minute > 59 || second > 59) {
    return zero;
  }
  SYSTEMTIME local = {};
  local.wYear = static_cast<WORD>(year);
  local.wMonth = static_cast<WORD>(month);
  local.wDay = static_cast<WORD>(day);
  local.wHour = static_cast<WORD>(hour);
  local.wMinute = static_cast<WORD>(minute);
  local.wSecond = static_cast<WORD>(second);
  // The zone's rule for that date, not today's offset, so summer stamps stay right in winter.
  SYSTEMTIME utc;
  FILETIME result;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) ||
      !SystemTimeToFileTime(&utc, &result)) {
    return zero;
  }
  return result;
}

FILETIME ZipUnixTimeToFileTime(int32_t seconds) {
  return FromTicks(static_cast<int64_t>(seconds) * kTicksPerSecond + kUnixEpochAsFileTime);
}

void ZipApplyExtendedTimes(const unsigned char* extra, size_t length, ZipEntry* entry) {
  if (extra == nullptr) return;
  size_t offset = 0;
  while (offset + 4 < length) {
    const size_t data_size = ReadLe16(extra + offset + 2);
    if (extra[offset] == 'U' && extra[offset + 1] == 'T') {
      size_t block_end = offset + 4 + data_size;
      if (block_end > length) block_end = length;
      const unsigned char flags = extra[offset + 4];
      size_t at = offset + 5;
      FILETIME* targets[] = {&entry->write_time, &entry->access_time, &entry->creation_time};
      for (int bit = 0; bit < 3; ++bit) {
        if ((flags & (1u << bit)) == 0) continue;
        if (at + 4 > block_end) break;
        *targets[bit] = ZipUnixTimeToFileTime(ReadLe32(extra + at));
        at += 4;
      }
      return;
    }
    offset += 4 + data_size;
  }
}
