#include "archive/zip_entry_data.h"

#include <climits>
#include <cstring>
#include <new>

#include "archive/zip_reader.h"

namespace {

constexpr uint32_t kFlagEncrypted = 0x01;
constexpr uint32_t kFlagDataDescriptor = 0x08;
constexpr uint32_t kFlagStrongEncryption = 0x40;
constexpr uint32_t kMethodStored = 0;
constexpr uint32_t kMethodDeflated = 8;

size_t Smaller(uint64_t a, size_t b) { return a < b ? static_cast<size_t>(a) : b; }

}  // namespace

ZipEntryData::~ZipEntryData() {
  if (stream_ready_) inflateEnd(&stream_);
}

uint32_t ZipEntryData::Open(ZipByteSource* source, uint64_t data_offset,
                            const ZipEntryFacts& facts, const char* password) {
  Close();
  if ((facts.method != kMethodStored && facts.method != kMethodDeflated) ||
      (facts.flags & kFlagStrongEncryption) != 0) {
    return ZIP_ERR_DATA;
  }
  source_ = source;
  offset_ = data_offset;
  packed_left_ = facts.packed_size;
  unpacked_left_ = facts.unpacked_size;
  expected_crc_ = facts.crc;
  crc_ = crc32(0L, Z_NULL, 0);
  deflated_ = facts.method == kMethodDeflated;
  encrypted_ = (facts.flags & kFlagEncrypted) != 0;
  failure_ = 0;
  at_end_ = false;
  if (!input_) {
    input_.reset(new (std::nothrow) unsigned char[kInputSize]);
    if (!input_) return ZIP_ERR_DATA;
  }
  stream_.next_in = input_.get();
  stream_.avail_in = 0;

  if (encrypted_) {
    if (password == nullptr) return ZIP_ERR_PASSWORD;
    unsigned char header[ZipCipher::kHeaderSize];
    if (packed_left_ < sizeof(header) ||
        source_->ReadAt(offset_, header, sizeof(header)) != sizeof(header)) {
      return ZIP_ERR_DATA;
    }
    cipher_.Reset(password);
    cipher_.Decrypt(header, sizeof(header));
    // With a data descriptor the CRC was not known when the header was written; the writer then
    // checks against the high byte of the DOS time instead.
    const unsigned check = (facts.flags & kFlagDataDescriptor) != 0
                               ? (facts.dos_stamp >> 8) & 0xFF
                               : facts.crc >> 24;
    if (header[sizeof(header) - 1] != check) return ZIP_ERR_PASSWORD;
    offset_ += sizeof(header);
    packed_left_ -= sizeof(header);
  }

  if (deflated_) {
    const int init = stream_ready_ ? inflateReset(&stream_) : inflateInit2(&stream_, -MAX_WBITS);
    if (init != Z_OK) return ZIP_ERR_DATA;
    stream_ready_ = true;
    stream_.next_in = input_.get();
    stream_.avail_in = 0;
  }
  open_ = true;
  return ZIP_OK;
}

void ZipEntryData::Close() {
  open_ = false;
  at_end_ = false;
  source_ = nullptr;
}

uint32_t ZipEntryData::Fail(uint32_t code) {
  failure_ = code;
  return code;
}

bool ZipEntryData::Refill() {
  const size_t want = Smaller(packed_left_, kInputSize);
  if (want == 0) return false;
  const size_t got = source_->ReadAt(offset_, input_.get(), want);
  if (got == 0) return false;
  if (encrypted_) cipher_.Decrypt(input_.get(), got);
  offset_ += got;
  packed_left_ -= got;
  stream_.next_in = input_.get();
  stream_.avail_in = static_cast<uInt>(got);
  return true;
}

uint32_t ZipEntryData::Copy(unsigned char* out, size_t length, size_t* made) {
  *made = 0;
  if (stream_.avail_in == 0 && !Refill()) return ZIP_ERR_DATA;  // stored bytes end too early
  *made = stream_.avail_in < length ? stream_.avail_in : length;
  std::memcpy(out, stream_.next_in, *made);
  stream_.next_in += *made;
  stream_.avail_in -= static_cast<uInt>(*made);
  return ZIP_OK;
}

uint32_t ZipEntryData::Inflate(unsigned char* out, size_t length, size_t* made) {
  if (stream_.avail_in == 0) Refill();  // when nothing is left, inflate may still flush
  stream_.next_out = out;
  stream_.avail_out = static_cast<uInt>(length);
  const uInt input_before = stream_.avail_in;
  const int status = inflate(&stream_, Z_NO_FLUSH);
  *made = length - stream_.avail_out;
  if (status == Z_STREAM_END) return *made < unpacked_left_ ? ZIP_ERR_DATA : ZIP_OK;
  if (status != Z_OK && status != Z_BUF_ERROR) return ZIP_ERR_DATA;
  // No progress with room to write means the entry's input is used up: it ended early.
  if (*made == 0 && stream_.avail_in == input_before) return ZIP_ERR_DATA;
  return ZIP_OK;
}

uint32_t ZipEntryData::Read(unsigned char* out, size_t length, size_t* produced) {
  *produced = 0;
  if (!open_) return ZIP_ERR_DATA;
  if (failure_ != 0) return failure_;
  while (*produced < length && unpacked_left_ > 0) {
    unsigned char* const at = out + *produced;
    size_t want = Smaller(unpacked_left_, length - *produced);
    if (want > UINT_MAX) want = UINT_MAX;  // zlib counts in uInt
    size_t made = 0;
    const uint32_t step = deflated_ ? Inflate(at, want, &made) : Copy(at, want, &made);
    crc_ = crc32(crc_, at, static_cast<uInt>(made));
    *produced += made;
    unpacked_left_ -= made;
    if (step != ZIP_OK) return Fail(step);
  }
  if (unpacked_left_ == 0 && !at_end_) {
    if (static_cast<uint32_t>(crc_) != expected_crc_) return Fail(ZIP_ERR_DATA);
    at_end_ = true;
  }
  return ZIP_OK;
}
