// Reads one entry's data: decrypts traditional PKWARE encryption, inflates deflated data, copies
// stored data, and checks the result against the entry's declared size and CRC-32.
//
// The bytes are read straight from the byte source at the offset that the container's local
// header check gave, so the container's own reading (which cannot decrypt in the minizip we link)
// is not involved. Output never exceeds the declared size, and every loop is bounded by the bytes
// the source actually holds.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "archive/zip_byte_source.h"
#include "archive/zip_cipher.h"
#include "archive/zip_container.h"

class ZipEntryData {
 public:
  // Input read from the source per refill. Large, because under Wine each ReadFile costs tens of
  // microseconds: 16 KiB reads spend more time in calls than in inflating.
  static constexpr size_t kInputSize = 262144;

  ZipEntryData() = default;
  ~ZipEntryData();
  ZipEntryData(const ZipEntryData&) = delete;
  ZipEntryData& operator=(const ZipEntryData&) = delete;

  // Starts reading an entry whose data begins at data_offset. Results: 0; 0x1000 when the entry
  // is encrypted and the password is missing or fails the check byte; 0x5000000 for a method other
  // than stored or deflated, strong encryption, or data too short for its encryption header.
  uint32_t Open(ZipByteSource* source, uint64_t data_offset, const ZipEntryFacts& facts,
                const char* password);

  // Produces up to `length` bytes into `out` (*produced says how many, also on failure). Returns
  // 0 while all is well; 0x5000000 when the data is corrupt, ends before the declared size, or
  // does not match its CRC-32 once complete. A failure is sticky until the next Open.
  uint32_t Read(unsigned char* out, size_t length, size_t* produced);

  // Every declared byte was produced and the CRC-32 matched.
  bool at_end() const { return at_end_; }
  bool is_open() const { return open_; }
  void Close();

 private:
  uint32_t Fail(uint32_t code);
  // Reads and decrypts the next input chunk; false when the source holds no more of the entry.
  bool Refill();
  // One step of producing output; *made bytes were written to out.
  uint32_t Copy(unsigned char* out, size_t length, size_t* made);
  uint32_t Inflate(unsigned char* out, size_t length, size_t* made);

  ZipByteSource* source_ = nullptr;
  bool open_ = false;
  bool at_end_ = false;
  uint32_t failure_ = 0;
  bool deflated_ = false;
  bool encrypted_ = false;
  ZipCipher cipher_;
  uint64_t offset_ = 0;         // next source offset of the entry's (still encrypted) data
  uint64_t packed_left_ = 0;    // entry bytes not yet read from the source
  uint64_t unpacked_left_ = 0;  // declared bytes not yet produced
  uint32_t expected_crc_ = 0;
  uLong crc_ = 0;
  z_stream stream_ = {};
  bool stream_ready_ = false;
  std::unique_ptr<unsigned char[]> input_;  // kInputSize bytes, from the first Open
};
