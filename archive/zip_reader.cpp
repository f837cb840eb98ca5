#include "archive/zip_reader.h"

#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "archive/zip_attributes.h"
#include "archive/zip_byte_source.h"
#include "archive/zip_container.h"
#include "archive/zip_entry_data.h"
#include "archive/zip_name.h"
#include "archive/zip_path.h"
#include "archive/zip_time.h"

namespace {

constexpr size_t kTransferSize = 16384;

// A described entry with what extraction needs beyond the public record.
struct EntryRecord {
  ZipEntry entry = {};
  ZipEntryFacts facts;
  uint64_t data_offset = 0;
  bool has_data_offset = false;  // the local header was checked (stored and deflated entries)
  bool name_cut = false;         // the stored name was longer than the kept bytes
  bool name_unsafe = false;      // the sanitised name would not stay inside a target folder
};

bool IsSupportedMethod(uint32_t method) { return method == 0 || method == 8; }

int32_t ClampSize(uint64_t size) {
  return size > static_cast<uint64_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(size);
}

bool IsZero(const FILETIME& time) { return time.dwLowDateTime == 0 && time.dwHighDateTime == 0; }

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

// One open archive. Used by one thread at a time; no internal locking.
struct ZipReader {
  std::unique_ptr<ZipContainer> container;
  int open_item = -1;  // entry whose memory extraction is under way
  EntryRecord cached;
  int cached_index = -1;
  std::unique_ptr<char[]> password;  // null when none was given
  std::unique_ptr<unsigned char[]> transfer;  // kTransferSize bytes, from the first file extraction
  std::wstring root;  // current directory at open time with a trailing separator; empty if too long
  ZipEntryData data;  // the open item's data, or the entry being extracted to a file
};

namespace {

void CloseOpenItem(ZipReader* zip) {
  if (zip->open_item >= 0) {
    zip->data.Close();
    zip->open_item = -1;
  }
}

// Describes the container's current entry, which must be entry `index`.
uint32_t Describe(ZipReader* zip, int index, EntryRecord* record) {
  char stored[kZipNameBytes + 2] = {};
  size_t stored_length = 0;
  // One byte beyond the kept ones tells whether the cut would split a UTF-8 sequence.
  if (!zip->container->ReadCentral(&record->facts, stored, kZipNameBytes + 1, &stored_length)) {
    return ZIP_ERR_CORRUPT;
  }
  std::vector<unsigned char> extra;
  record->has_data_offset = false;
  // minizip refuses the local header of any other method outright; such an entry is described
  // from its central record and fails only when its data is read.
  if (IsSupportedMethod(record->facts.method)) {
    const uint32_t local = zip->container->ReadLocalHeader(&record->data_offset, &extra);
    if (local != ZIP_OK) return local;
    record->has_data_offset = true;
  }

  ZipEntry& entry = record->entry;
  entry = ZipEntry();
  entry.index = index;
  const size_t kept = ZipKeptNameLength(stored, stored_length, kZipNameBytes);
  record->name_cut = kept < stored_length;
  const std::wstring name = ZipSanitiseName(ZipDecodeName(stored, kept));
  record->name_unsafe = !ZipNameIsSafe(name);
  // At most kZipNameBytes UTF-16 units come from as many bytes; the check keeps that explicit.
  const size_t units = name.size() < MAX_PATH ? name.size() : MAX_PATH - 1;
  std::memcpy(entry.name, name.data(), units * sizeof(wchar_t));
  entry.name[units] = L'\0';

  const bool named_as_folder = !name.empty() && (name.back() == L'/' || name.back() == L'\\');
  entry.attributes = ZipEntryAttributes(record->facts.version_made_by,
                                        record->facts.external_attributes, named_as_folder);
  entry.packed_size = ClampSize(record->facts.packed_size);
  entry.unpacked_size = ClampSize(record->facts.unpacked_size);
  entry.write_time = ZipDosTimeToFileTime(record->facts.dos_stamp);
  entry.access_time = entry.write_time;
  entry.creation_time = entry.write_time;
  ZipApplyExtendedTimes(extra.data(), extra.size(), &entry);
  return ZIP_OK;
}

// Positions the container on `index` and makes it the cached entry. A cached entry is reused,
// but the container is positioned on it all the same.
uint32_t PositionAndDescribe(ZipReader* zip, int index) {
  if (!zip->container->Position(index)) return ZIP_ERR_CORRUPT;
  if (zip->cached_index == index) return ZIP_OK;
  EntryRecord record;
  const uint32_t result = Describe(zip, index, &record);
  if (result != ZIP_OK) return result;
  zip->cached = record;
  zip->cached_index = index;
  return ZIP_OK;
}

bool ValidIndex(const ZipReader* zip, int index) {
  return index >= 0 && index < zip->container->count();
}

HZIP OpenOver(std::unique_ptr<ZipByteSource> source, const char* password) {
  std::unique_ptr<ZipReader> zip(new ZipReader());
  if (password != nullptr) {
    const size_t length = std::strlen(password);
    zip->password.reset(new char[length + 1]);
    std::memcpy(zip->password.get(), password, length + 1);
  }
  zip->root = ZipCurrentDirectoryRoot();
  if (!source) return nullptr;
  zip->container = ZipContainer::Open(std::move(source));
  if (!zip->container) return nullptr;
  return zip.release();
}

// CREATE_ALWAYS fails on an existing read-only file, and on a hidden or system one unless the new
// attributes repeat those bits; a file an earlier run left so has those bits cleared first.
HANDLE CreateTarget(const std::wstring& path, DWORD attributes) {
  constexpr DWORD kBlocking = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_SYSTEM;
  const DWORD existing = GetFileAttributesW(path.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
      (existing & kBlocking) != 0) {
    const DWORD cleared = existing & ~kBlocking;
    SetFileAttributesW(path.c_str(), cleared != 0 ? cleared : FILE_ATTRIBUTE_NORMAL);
  }
  return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
}

uint32_t WriteEntry(ZipReader* zip, HANDLE file) {
  for (;;) {
    size_t produced = 0;
    const uint32_t result = zip->data.Read(zip->transfer.get(), kTransferSize, &produced);
    if (produced > 0) {
      DWORD written = 0;
      if (!WriteFile(file, zip->transfer.get(), static_cast<DWORD>(produced), &written, nullptr) ||
          written != produced) {
        return ZIP_ERR_WRITE;
      }
    }
    if (result != ZIP_OK) return result;
    if (zip->data.at_end()) return ZIP_OK;
    if (produced == 0) return ZIP_ERR_DATA;
  }
}

}  // namespace

HZIP ZipOpenFile(const wchar_t* path, const char* password) {
  if (path == nullptr) return nullptr;
  return OpenOver(ZipFileSource::Open(path), password);
}

HZIP ZipOpenMemory(const void* data, unsigned size, const char* password) {
  if (data == nullptr) return nullptr;
  return OpenOver(std::unique_ptr<ZipByteSource>(new ZipMemorySource(data, size)), password);
}

uint32_t ZipGetEntry(HZIP zip, int index, ZipEntry* entry) {
  if (entry != nullptr) {
    entry->index = 0;
    entry->name[0] = L'\0';
    entry->unpacked_size = 0;
  }
  if (zip == nullptr || entry == nullptr) return ZIP_ERR_ARGS;
  CloseOpenItem(zip);
  if (index >= 0 && index == zip->cached_index) {
    *entry = zip->cached.entry;
    return ZIP_OK;
  }
  if (index == -1) {
    *entry = ZipEntry();
    entry->index = zip->container->count();
    return ZIP_OK;
  }
  if (!ValidIndex(zip, index)) return ZIP_ERR_ARGS;
  const uint32_t result = PositionAndDescribe(zip, index);
  if (result != ZIP_OK) return result;
  *entry = zip->cached.entry;
  return ZIP_OK;
}

uint32_t ZipFindEntry(HZIP zip, const wchar_t* name, bool ignore_case, int* index,
                      ZipEntry* entry) {
  if (index != nullptr) *index = -1;
  if (zip == nullptr || name == nullptr) return ZIP_ERR_ARGS;
  // A name that does not fit the kept bytes cannot equal a stored name the reader matches.
  char utf8[kZipNameBytes + 1];
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, static_cast<int>(sizeof(utf8)), nullptr,
                          nullptr);
  const int found = length > 0 ? zip->container->Locate(utf8, ignore_case) : -1;
  if (found < 0) {
    if (entry != nullptr) {
      *entry = ZipEntry();
      entry->index = -1;
    }
    return ZIP_ERR_NOT_FOUND;
  }
  CloseOpenItem(zip);
  if (index != nullptr) *index = found;
  return entry != nullptr ? ZipGetEntry(zip, found, entry) : ZIP_OK;
}

uint32_t ZipExtractToFile(HZIP zip, int index, const wchar_t* target) {
  if (zip == nullptr) return ZIP_ERR_ARGS;
  CloseOpenItem(zip);
  if (!ValidIndex(zip, index)) return ZIP_ERR_ARGS;
  const uint32_t described = PositionAndDescribe(zip, index);
  if (described != ZIP_OK) return described;
  const EntryRecord& record = zip->cached;
  // A cut name may equal another entry's cut name; an unsafe one could leave the target folder.
  if (record.name_cut || record.name_unsafe) return ZIP_ERR_PATH;
  ZipTargetPath path;
  if (!ZipSplitTarget(target, zip->root, &path)) return ZIP_ERR_PATH;

  if ((record.entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    ZipCreateDirectoryChain(path.base, path.folder + path.file);
    return ZIP_OK;
  }
  ZipCreateDirectoryChain(path.base, path.folder);

  constexpr DWORD kFileBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  const DWORD attributes = record.entry.attributes & kFileBits;
  FileHandle file(CreateTarget(path.full, attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL));
  if (!file.valid()) return ZIP_ERR_OPEN;

  if (!zip->transfer) {
    zip->transfer.reset(new (std::nothrow) unsigned char[kTransferSize]);
    if (!zip->transfer) return ZIP_ERR_WRITE;
  }
  // The file exists from here on; on any failure it stays, empty or partly written.
  uint32_t result = record.has_data_offset
                        ? zip->data.Open(zip->container->source(), record.data_offset,
                                         record.facts, zip->password.get())
                        : ZIP_ERR_DATA;
  if (result == ZIP_OK) result = WriteEntry(zip, file.get());
  zip->data.Close();
  if (result == ZIP_OK) {
    const ZipEntry& entry = record.entry;
    // A zero time (an impossible DOS date) leaves that time as the system set it.
    SetFileTime(file.get(), IsZero(entry.creation_time) ? nullptr : &entry.creation_time,
                IsZero(entry.access_time) ? nullptr : &entry.access_time,
                IsZero(entry.write_time) ? nullptr : &entry.write_time);
  }
  return result;
}

uint32_t ZipExtractToMemory(HZIP zip, int index, void* buffer, unsigned size) {
  if (zip == nullptr || (buffer == nullptr && size != 0)) return ZIP_ERR_ARGS;
  if (index != zip->open_item) {
    CloseOpenItem(zip);
    if (!ValidIndex(zip, index)) return ZIP_ERR_ARGS;
    if (!zip->container->Position(index)) return ZIP_ERR_DATA;
    EntryRecord record;
    if (index == zip->cached_index) {
      record = zip->cached;
    } else {
      char stored[kZipNameBytes + 2];
      size_t stored_length = 0;
      if (!zip->container->ReadCentral(&record.facts, stored, kZipNameBytes + 1,
                                       &stored_length)) {
        return ZIP_ERR_DATA;
      }
      record.has_data_offset = IsSupportedMethod(record.facts.method) &&
                               zip->container->ReadLocalHeader(&record.data_offset, nullptr) ==
                                   ZIP_OK;
    }
    // A failed local-header check, like an unsupported method, shows when the data is read.
    if (!record.has_data_offset) return ZIP_ERR_DATA;
    const uint32_t opened = zip->data.Open(zip->container->source(), record.data_offset,
                                           record.facts, zip->password.get());
    if (opened != ZIP_OK) return opened;
    zip->open_item = index;
  }
  size_t produced = 0;
  const uint32_t result =
      zip->data.Read(static_cast<unsigned char*>(buffer), size, &produced);
  const bool at_end = zip->data.at_end();
  if (result != ZIP_OK || produced == 0) CloseOpenItem(zip);
  if (result != ZIP_OK) return result;
  if (at_end) return ZIP_OK;
  return produced > 0 ? ZIP_MORE_DATA : ZIP_ERR_DATA;
}

uint32_t ZipClose(HZIP zip) {
  if (zip == nullptr) return ZIP_ERR_ARGS;
  CloseOpenItem(zip);
  delete zip;
  return ZIP_OK;
}
