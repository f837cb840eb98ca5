// Random-access sources of archive bytes: a Windows file handle or a caller's memory buffer.
// minizip walks the container through the callbacks of FillFileFuncs; the entry data reader reads
// an entry's bytes directly with ReadAt.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include <minizip/ioapi.h>

class ZipByteSource {
 public:
  virtual ~ZipByteSource() = default;
  ZipByteSource(const ZipByteSource&) = delete;
  ZipByteSource& operator=(const ZipByteSource&) = delete;

  uint64_t size() const { return size_; }

  // Copies up to len bytes starting at offset; returns the number copied, 0 at or past the end or
  // on a read error. Never reads outside the source.
  virtual size_t ReadAt(uint64_t offset, void* buffer, size_t len) = 0;

  // Binds minizip's stream callbacks to this source. Pass the source itself as the "path" of
  // unzOpen2_64; the source must outlive the container.
  void FillFileFuncs(zlib_filefunc64_def* funcs);

 protected:
  explicit ZipByteSource(uint64_t size) : size_(size) {}

 private:
  static voidpf OpenStream(voidpf opaque, const void* source, int mode);
  static uLong ReadStream(voidpf opaque, voidpf stream, void* buffer, uLong len);
  static uLong WriteStream(voidpf opaque, voidpf stream, const void* buffer, uLong len);
  static ZPOS64_T TellStream(voidpf opaque, voidpf stream);
  static long SeekStream(voidpf opaque, voidpf stream, ZPOS64_T offset, int origin);
  static int CloseStream(voidpf opaque, voidpf stream);
  static int StreamError(voidpf opaque, voidpf stream);

  const uint64_t size_;
  uint64_t cursor_ = 0;  // minizip's stream position; may lie past the end
  bool read_failed_ = false;
};

// Owns a handle opened for reading. Reads are positional, so minizip's cursor costs no seeks.
//
// minizip reads headers a byte or two at a time; each of those as a ReadFile would cost a system
// call. Small reads are therefore served from two small windows of the file: one tends to stay on
// the central directory, the other follows the local headers, which lie near the entries' data.
class ZipFileSource : public ZipByteSource {
 public:
  // CreateFileW with read access, shared read, open existing. Null when the file cannot be opened.
  static std::unique_ptr<ZipFileSource> Open(const wchar_t* path);
  ~ZipFileSource() override;

  size_t ReadAt(uint64_t offset, void* buffer, size_t len) override;

 private:
  static constexpr size_t kWindowSize = 4096;

  struct Window {
    uint64_t start = 0;
    size_t length = 0;  // valid bytes; 0 when empty
    unsigned char bytes[kWindowSize];
  };

  ZipFileSource(HANDLE handle, uint64_t size) : ZipByteSource(size), handle_(handle) {}
  size_t ReadFromFile(uint64_t offset, void* buffer, size_t len);

  HANDLE handle_;
  Window windows_[2];
  int last_used_ = 0;  // the other window is refilled next
};

// Reads the caller's buffer, which must stay valid while the source lives.
class ZipMemorySource : public ZipByteSource {
 public:
  ZipMemorySource(const void* data, size_t size)
      : ZipByteSource(size), data_(static_cast<const unsigned char*>(data)) {}

  size_t ReadAt(uint64_t offset, void* buffer, size_t len) override;

 private:
  const unsigned char* data_;
};
