// Unpacking speed of the archive reader against the limit set by zlib itself.
//
// Usage: archive_bench <package.zip> <package.zip.manifest>
// For a package made by tools/archive/make_bench_package.py, prints in one run:
//   - plain zlib inflate of every file entry from memory into memory (the limit),
//   - ZipExtractToFile of every entry into a fresh folder, as the install pipeline does it,
//   - ZipExtractToMemory of every file entry, which shows the reader without the file system,
//   - plain inflate plus the file system calls that extraction cannot avoid (create, write in
//     16 KiB parts, set times, close) for files of the same sizes: the floor for file extraction
//     on this machine, without any reader,
// each as MB/s of unpacked bytes (best of several rounds), and the ratios.
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "archive/zip_reader.h"

namespace {

constexpr int kRounds = 3;

struct ManifestEntry {
  uint64_t offset;
  uint64_t packed;
  uint64_t unpacked;
  int method;
};

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool ReadWhole(const wchar_t* path, std::vector<unsigned char>* out) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(file, &size) != 0;
  if (ok) {
    out->resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (ok && done < out->size()) {
      DWORD got = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(out->size() - done, 1 << 24));
      ok = ReadFile(file, out->data() + done, chunk, &got, nullptr) && got > 0;
      done += got;
    }
  }
  CloseHandle(file);
  return ok;
}

bool ReadManifest(const wchar_t* path, std::vector<ManifestEntry>* entries) {
  std::vector<unsigned char> text;
  if (!ReadWhole(path, &text)) return false;
  text.push_back('\0');
  const char* p = reinterpret_cast<const char*>(text.data());
  while (*p != '\0') {
    const char* end = std::strchr(p, '\n');
    const std::string line(p, end != nullptr ? static_cast<size_t>(end - p) : std::strlen(p));
    p = end != nullptr ? end + 1 : p + line.size();
    if (line.empty() || line[0] == '#') continue;
    ManifestEntry e;
    unsigned long long offset, packed, unpacked;
    if (std::sscanf(line.c_str(), "%llu %llu %llu %d", &offset, &packed, &unpacked, &e.method) != 4) {
      return false;
    }
    e.offset = offset;
    e.packed = packed;
    e.unpacked = unpacked;
    entries->push_back(e);
  }
  return !entries->empty();
}

// Plain zlib: every file entry inflated (or copied, when stored) from the package in memory.
bool InflateAll(const std::vector<unsigned char>& package, const std::vector<ManifestEntry>& entries,
                std::vector<unsigned char>* out, double* seconds) {
  z_stream stream = {};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  bool ok = true;
  const double start = Now();
  for (const ManifestEntry& e : entries) {
    if (e.offset + e.packed > package.size() || e.unpacked > out->size()) {
      ok = false;
      break;
    }
    if (e.method == 0) {
      std::memcpy(out->data(), package.data() + e.offset, static_cast<size_t>(e.unpacked));
      continue;
    }
    inflateReset(&stream);
    stream.next_in = const_cast<Bytef*>(package.data() + e.offset);
    stream.avail_in = static_cast<uInt>(e.packed);
    stream.next_out = out->data();
    stream.avail_out = static_cast<uInt>(e.unpacked);
    if (inflate(&stream, Z_FINISH) != Z_STREAM_END || stream.total_out != e.unpacked) {
      ok = false;
      break;
    }
  }
  *seconds = Now() - start;
  inflateEnd(&stream);
  return ok;
}

// Plain inflate of every file entry, written to new files with the calls extraction must make.
bool InflateAllToFiles(const std::vector<unsigned char>& package,
                       const std::vector<ManifestEntry>& entries, const std::wstring& folder,
                       std::vector<unsigned char>* out, double* seconds) {
  constexpr int kFolders = 40;
  CreateDirectoryW(folder.c_str(), nullptr);
  for (int d = 0; d < kFolders; ++d) {
    CreateDirectoryW((folder + L"d" + std::to_wstring(d)).c_str(), nullptr);
  }
  z_stream stream = {};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  const FILETIME stamp = {0x12345678, 0x01D80000};
  bool ok = true;
  const double start = Now();
  for (size_t i = 0; ok && i < entries.size(); ++i) {
    const ManifestEntry& e = entries[i];
    const std::wstring path = folder + L"d" + std::to_wstring(i % kFolders) + L"\\f" +
                              std::to_wstring(i) + L".bin";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    if (e.method == 0) {
      std::memcpy(out->data(), package.data() + e.offset, static_cast<size_t>(e.unpacked));
    } else {
      inflateReset(&stream);
      stream.next_in = const_cast<Bytef*>(package.data() + e.offset);
      stream.avail_in = static_cast<uInt>(e.packed);
      stream.next_out = out->data();
      stream.avail_out = static_cast<uInt>(e.unpacked);
      ok = inflate(&stream, Z_FINISH) == Z_STREAM_END;
    }
    for (uint64_t done = 0; ok && done < e.unpacked; done += 16384) {
      const DWORD part = static_cast<DWORD>(std::min<uint64_t>(16384, e.unpacked - done));
      DWORD written = 0;
      ok = WriteFile(file, out->data() + done, part, &written, nullptr) && written == part;
    }
    SetFileTime(file, &stamp, &stamp, &stamp);
    CloseHandle(file);
  }
  *seconds = Now() - start;
  inflateEnd(&stream);
  return ok;
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveTree(path + L"\\");
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

// The install pipeline's loop: count, then describe and extract each entry under the folder.
bool ExtractAllToFiles(const wchar_t* package, const std::wstring& folder, double* seconds) {
  const double start = Now();
  HZIP zip = ZipOpenFile(package, nullptr);
  if (zip == nullptr) return false;
  ZipEntry entry;
  bool ok = ZipGetEntry(zip, -1, &entry) == ZIP_OK;
  const int count = entry.index;
  for (int i = 0; ok && i < count; ++i) {
    ok = ZipGetEntry(zip, i, &entry) == ZIP_OK &&
         ZipExtractToFile(zip, i, (folder + entry.name).c_str()) == ZIP_OK;
  }
  ZipClose(zip);
  *seconds = Now() - start;
  return ok;
}

bool ExtractAllToMemory(const wchar_t* package, std::vector<unsigned char>* out, double* seconds) {
  const double start = Now();
  HZIP zip = ZipOpenFile(package, nullptr);
  if (zip == nullptr) return false;
  ZipEntry entry;
  bool ok = ZipGetEntry(zip, -1, &entry) == ZIP_OK;
  const int count = entry.index;
  for (int i = 0; ok && i < count; ++i) {
    ok = ZipGetEntry(zip, i, &entry) == ZIP_OK;
    if (!ok || (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    ok = static_cast<size_t>(entry.unpacked_size) <= out->size() &&
         ZipExtractToMemory(zip, i, out->data(), static_cast<unsigned>(entry.unpacked_size)) ==
             ZIP_OK;
  }
  ZipClose(zip);
  *seconds = Now() - start;
  return ok;
}

double MegabytesPerSecond(uint64_t bytes, double seconds) {
  return seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: archive_bench <package.zip> <manifest>\n");
    return 2;
  }
  std::vector<unsigned char> package;
  std::vector<ManifestEntry> entries;
  if (!ReadWhole(argv[1], &package) || !ReadManifest(argv[2], &entries)) {
    std::fprintf(stderr, "archive_bench: cannot read the package or its manifest\n");
    return 1;
  }
  uint64_t unpacked = 0;
  uint64_t packed = 0;
  uint64_t largest = 0;
  for (const ManifestEntry& e : entries) {
    unpacked += e.unpacked;
    packed += e.packed;
    largest = std::max(largest, e.unpacked);
  }
  std::vector<unsigned char> out(static_cast<size_t>(largest));

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring base = std::wstring(temp) + L"archive_bench\\";
  RemoveTree(base);
  CreateDirectoryW(base.c_str(), nullptr);

  double best_inflate = 1e30, best_files = 1e30, best_memory = 1e30, best_floor = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    double seconds = 0;
    if (!InflateAll(package, entries, &out, &seconds)) {
      std::fprintf(stderr, "archive_bench: plain inflate failed\n");
      return 1;
    }
    best_inflate = std::min(best_inflate, seconds);

    const std::wstring folder = base + L"round" + std::to_wstring(round) + L"\\";
    if (!ExtractAllToFiles(argv[1], folder, &seconds)) {
      std::fprintf(stderr, "archive_bench: ZipExtractToFile failed\n");
      return 1;
    }
    best_files = std::min(best_files, seconds);
    RemoveTree(folder);

    if (!ExtractAllToMemory(argv[1], &out, &seconds)) {
      std::fprintf(stderr, "archive_bench: ZipExtractToMemory failed\n");
      return 1;
    }
    best_memory = std::min(best_memory, seconds);

    const std::wstring floor_folder = base + L"floor" + std::to_wstring(round) + L"\\";
    if (!InflateAllToFiles(package, entries, floor_folder, &out, &seconds)) {
      std::fprintf(stderr, "archive_bench: plain inflate to files failed\n");
      return 1;
    }
    best_floor = std::min(best_floor, seconds);
    RemoveTree(floor_folder);
  }
  RemoveTree(base);

  const double inflate_rate = MegabytesPerSecond(unpacked, best_inflate);
  const double files_rate = MegabytesPerSecond(unpacked, best_files);
  const double memory_rate = MegabytesPerSecond(unpacked, best_memory);
  const double floor_rate = MegabytesPerSecond(unpacked, best_floor);
  std::printf("package: %zu file entries, %.1f MB unpacked, %.1f MB packed (best of %d rounds)\n",
              entries.size(), static_cast<double>(unpacked) / 1e6,
              static_cast<double>(packed) / 1e6, kRounds);
  std::printf("plain zlib inflate into memory: %8.1f MB/s  (%.3f s)\n", inflate_rate, best_inflate);
  std::printf("ZipExtractToFile, all entries:  %8.1f MB/s  (%.3f s)\n", files_rate, best_files);
  std::printf("ZipExtractToMemory, all files:  %8.1f MB/s  (%.3f s)\n", memory_rate, best_memory);
  std::printf("plain inflate + file writes:     %8.1f MB/s  (%.3f s)\n", floor_rate, best_floor);
  std::printf("ratio ZipExtractToFile / inflate:               %.2f (goal >= 0.80)\n",
              inflate_rate > 0 ? files_rate / inflate_rate : 0.0);
  std::printf("ratio ZipExtractToMemory / inflate:             %.2f\n",
              inflate_rate > 0 ? memory_rate / inflate_rate : 0.0);
  std::printf("ratio ZipExtractToFile / (inflate + file writes): %.2f\n",
              floor_rate > 0 ? files_rate / floor_rate : 0.0);
  return 0;
}
