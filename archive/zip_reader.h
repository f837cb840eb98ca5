// ZIP archive reader: opens an archive held in a file or in memory, describes its entries and
// extracts them to files or into caller buffers. Built on minizip; one thread at a time per handle.
#pragma once

#include <windows.h>

#include <cstdint>

struct ZipReader;
using HZIP = ZipReader*;

// Result codes; callers compare against these values.
enum : uint32_t {
  ZIP_OK = 0,
  ZIP_ERR_OPEN = 0x200,          // a file cannot be created or opened, or the archive is not a ZIP
  ZIP_ERR_PATH = 0x300,          // a path does not fit MAX_PATH, or the entry's name is unsafe or
                                 // had to be cut; nothing is written
  ZIP_ERR_WRITE = 0x400,         // writing the target file failed
  ZIP_ERR_NOT_FOUND = 0x500,     // no entry has that name
  ZIP_MORE_DATA = 0x600,         // the buffer is full and more data follows
  ZIP_ERR_CORRUPT = 0x700,       // local header mismatch, or the entry list cannot be walked
  ZIP_ERR_EXTRA_FIELD = 0x800,   // the local extra field cannot be positioned to or read
  ZIP_ERR_PASSWORD = 0x1000,     // password missing or wrong
  ZIP_ERR_ARGS = 0x10000,        // null handle or index out of range
  ZIP_ERR_DATA = 0x5000000,      // decompression failed, unsupported method, data ended early,
                                 // or the data does not match its CRC-32
};

struct ZipEntry {
  int index;                 // 0-based; for index -1 requests, the number of entries
  wchar_t name[MAX_PATH];    // sanitised entry name, relative, zero-terminated
  DWORD attributes;          // FILE_ATTRIBUTE_* bits
  FILETIME access_time;      // UTC
  FILETIME creation_time;
  FILETIME write_time;
  int32_t packed_size;       // from the central directory, clamped to 0 .. INT32_MAX
  int32_t unpacked_size;
};

// Opens an archive file (read access, shared read). Null on any failure.
HZIP ZipOpenFile(const wchar_t* path, const char* password);
// Opens an archive over the caller's bytes, which must stay valid until ZipClose.
HZIP ZipOpenMemory(const void* data, unsigned size, const char* password);
// index -1: entry->index receives the entry count; otherwise describes entry `index`.
uint32_t ZipGetEntry(HZIP zip, int index, ZipEntry* entry);
// Finds an entry by its stored name (ASCII case ignored on request). entry may be null.
uint32_t ZipFindEntry(HZIP zip, const wchar_t* name, bool ignore_case, int* index, ZipEntry* entry);
// Writes entry `index` to `target` (or creates the folder for a folder entry). A relative target
// is taken under the process's current directory at the time the archive was opened.
uint32_t ZipExtractToFile(HZIP zip, int index, const wchar_t* target);
// Copies the next part of entry `index` into buffer; ZIP_MORE_DATA asks for another call with the
// same index.
uint32_t ZipExtractToMemory(HZIP zip, int index, void* buffer, unsigned size);
uint32_t ZipClose(HZIP zip);
