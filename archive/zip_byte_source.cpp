#include "archive/zip_byte_source.h"

#include <cstring>

namespace {

// Bytes available at offset, capped at len; 0 at or past the end.
size_t Available(uint64_t size, uint64_t offset, size_t len) {
  if (offset >= size) return 0;
  const uint64_t rest = size - offset;
  return rest < len ? static_cast<size_t>(rest) : len;
}

}  // namespace

void ZipByteSource::FillFileFuncs(zlib_filefunc64_def* funcs) {
  funcs->zopen64_file = &ZipByteSource::OpenStream;
  funcs->zread_file = &ZipByteSource::ReadStream;
  funcs->zwrite_file = &ZipByteSource::WriteStream;
  funcs->ztell64_file = &ZipByteSource::TellStream;
  funcs->zseek64_file = &ZipByteSource::SeekStream;
  funcs->zclose_file = &ZipByteSource::CloseStream;
  funcs->zerror_file = &ZipByteSource::StreamError;
  funcs->opaque = nullptr;
}

voidpf ZipByteSource::OpenStream(voidpf, const void* source, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_WRITE) != 0 || source == nullptr) return nullptr;
  auto* self = static_cast<ZipByteSource*>(const_cast<void*>(source));
  self->cursor_ = 0;
  self->read_failed_ = false;
  return self;
}

uLong ZipByteSource::ReadStream(voidpf, voidpf stream, void* buffer, uLong len) {
  auto* self = static_cast<ZipByteSource*>(stream);
  const size_t got = self->ReadAt(self->cursor_, buffer, len);
  if (got < len) self->read_failed_ = true;
  self->cursor_ += got;
  return static_cast<uLong>(got);
}

uLong ZipByteSource::WriteStream(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZipByteSource::TellStream(voidpf, voidpf stream) {
  return static_cast<ZipByteSource*>(stream)->cursor_;
}

// Positions past the end are allowed (reads there return nothing), as with a file; arithmetic is
// modulo 2^64 so that minizip's unsigned relative offsets cannot trap.
long ZipByteSource::SeekStream(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* self = static_cast<ZipByteSource*>(stream);
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: self->cursor_ = offset; break;
    case ZLIB_FILEFUNC_SEEK_CUR: self->cursor_ += offset; break;
    case ZLIB_FILEFUNC_SEEK_END: self->cursor_ = self->size_ + offset; break;
    default: return -1;
  }
  return 0;
}

int ZipByteSource::CloseStream(voidpf, voidpf) { return 0; }

int ZipByteSource::StreamError(voidpf, voidpf stream) {
  return static_cast<ZipByteSource*>(stream)->read_failed_ ? 1 : 0;
}

std::unique_ptr<ZipFileSource> ZipFileSource::Open(const wchar_t* path) {
  if (path == nullptr) return nullptr;
  HANDLE handle = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle, &size) || size.QuadPart < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  return std::unique_ptr<ZipFileSource>(
      new ZipFileSource(handle, static_cast<uint64_t>(size.QuadPart)));
}

ZipFileSource::~ZipFileSource() { CloseHandle(handle_); }

size_t ZipFileSource::ReadAt(uint64_t offset, void* buffer, size_t len) {
  const size_t want = Available(size(), offset, len);
  if (want == 0) return 0;
  if (want > kWindowSize / 4) return ReadFromFile(offset, buffer, want);
  for (int i = 0; i < 2; ++i) {
    const Window& w = windows_[i];
    if (offset >= w.start && offset + want <= w.start + w.length) {
      std::memcpy(buffer, w.bytes + (offset - w.start), want);
      last_used_ = i;
      return want;
    }
  }
  const int refill = 1 - last_used_;
  Window& w = windows_[refill];
  w.length = ReadFromFile(offset, w.bytes, kWindowSize);
  w.start = offset;
  last_used_ = refill;
  const size_t got = w.length < want ? w.length : want;
  std::memcpy(buffer, w.bytes, got);
  return got;
}

size_t ZipFileSource::ReadFromFile(uint64_t offset, void* buffer, size_t len) {
  const size_t want = Available(size(), offset, len);
  size_t done = 0;
  auto* out = static_cast<unsigned char*>(buffer);
  while (done < want) {
    const size_t rest = want - done;
    const DWORD chunk = rest > 0x40000000u ? 0x40000000u : static_cast<DWORD>(rest);
    const uint64_t at = offset + done;
    OVERLAPPED position = {};
    position.Offset = static_cast<DWORD>(at);
    position.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD got = 0;
    if (!ReadFile(handle_, out + done, chunk, &got, &position) || got == 0) break;
    done += got;
  }
  return done;
}

size_t ZipMemorySource::ReadAt(uint64_t offset, void* buffer, size_t len) {
  const size_t got = Available(size(), offset, len);
  if (got != 0) std::memcpy(buffer, data_ + offset, got);
  return got;
}
