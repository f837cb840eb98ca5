// The ZIP container walked through minizip: entry count, positioning by index, the current entry's
// central record and local header, lookup by stored name. Every count and size it hands out comes
// from the archive and is untrusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <minizip/unzip.h>

#include "archive/zip_byte_source.h"

// The central-directory facts of one entry that extraction needs.
struct ZipEntryFacts {
  uint32_t version_made_by = 0;
  uint32_t flags = 0;  // general purpose bits: 0x01 encrypted, 0x08 data descriptor, 0x40 strong
  uint32_t method = 0;
  uint32_t dos_stamp = 0;  // date << 16 | time
  uint32_t crc = 0;
  uint32_t external_attributes = 0;
  uint64_t packed_size = 0;
  uint64_t unpacked_size = 0;
};

class ZipContainer {
 public:
  // Null when the source holds no readable central directory.
  static std::unique_ptr<ZipContainer> Open(std::unique_ptr<ZipByteSource> source);
  ~ZipContainer();
  ZipContainer(const ZipContainer&) = delete;
  ZipContainer& operator=(const ZipContainer&) = delete;

  ZipByteSource* source() const { return source_.get(); }
  // Entries the end record announces, capped at INT32_MAX.
  int count() const { return count_; }

  // Makes entry `index` current: forwards from the current entry, or from the first when going
  // back. False when a step fails (the list cannot be walked that far).
  bool Position(int index);

  // The current entry's central record. `name` receives up to name_capacity stored bytes;
  // *stored_name_length is the length the record gives, which may be larger.
  bool ReadCentral(ZipEntryFacts* facts, char* name, size_t name_capacity,
                   size_t* stored_name_length);

  // Checks the current entry's local header against its central record (0x700 on mismatch) and
  // gives the absolute offset of its data; reads the local extra field when `extra` is given
  // (0x800 when it cannot be read). Only for stored and deflated entries: minizip refuses the
  // local header of any other method.
  uint32_t ReadLocalHeader(uint64_t* data_offset, std::vector<unsigned char>* extra);

  // Index of the entry whose stored name equals `utf8_name` (ASCII case ignored on request), -1
  // when none. The current entry stays where it was when nothing matches.
  int Locate(const char* utf8_name, bool ignore_case);

 private:
  ZipContainer(std::unique_ptr<ZipByteSource> source, unzFile zip, int count)
      : source_(std::move(source)), zip_(zip), count_(count) {}

  // Current entry number, -1 when minizip has no usable current entry.
  int64_t Current();

  std::unique_ptr<ZipByteSource> source_;
  unzFile zip_;
  int count_;
};
