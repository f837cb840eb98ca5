#include "archive/zip_container.h"

#include <climits>

#include "archive/zip_reader.h"

std::unique_ptr<ZipContainer> ZipContainer::Open(std::unique_ptr<ZipByteSource> source) {
  if (!source) return nullptr;
  zlib_filefunc64_def funcs;
  source->FillFileFuncs(&funcs);
  unzFile zip = unzOpen2_64(source.get(), &funcs);
  if (zip == nullptr) return nullptr;
  unz_global_info64 info;
  if (unzGetGlobalInfo64(zip, &info) != UNZ_OK) {
    unzClose(zip);
    return nullptr;
  }
  const int count = info.number_entry > static_cast<ZPOS64_T>(INT_MAX)
                        ? INT_MAX
                        : static_cast<int>(info.number_entry);
  return std::unique_ptr<ZipContainer>(new ZipContainer(std::move(source), zip, count));
}

ZipContainer::~ZipContainer() { unzClose(zip_); }

int64_t ZipContainer::Current() {
  unz64_file_pos position;
  if (unzGetFilePos64(zip_, &position) != UNZ_OK) return -1;
  if (position.num_of_file > static_cast<ZPOS64_T>(INT_MAX)) return -1;
  return static_cast<int64_t>(position.num_of_file);
}

bool ZipContainer::Position(int index) {
  if (index < 0 || index >= count_) return false;
  int64_t current = Current();
  if (current < 0 || index < current) {
    if (unzGoToFirstFile(zip_) != UNZ_OK) return false;
    current = 0;
  }
  while (current < index) {
    if (unzGoToNextFile(zip_) != UNZ_OK) return false;
    ++current;
  }
  return true;
}

bool ZipContainer::ReadCentral(ZipEntryFacts* facts, char* name, size_t name_capacity,
                               size_t* stored_name_length) {
  unz_file_info64 info;
  if (unzGetCurrentFileInfo64(zip_, &info, name, static_cast<uLong>(name_capacity), nullptr, 0,
                              nullptr, 0) != UNZ_OK) {
    return false;
  }
  facts->version_made_by = static_cast<uint32_t>(info.version);
  facts->flags = static_cast<uint32_t>(info.flag);
  facts->method = static_cast<uint32_t>(info.compression_method);
  facts->dos_stamp = static_cast<uint32_t>(info.dosDate);
  facts->crc = static_cast<uint32_t>(info.crc);
  facts->external_attributes = static_cast<uint32_t>(info.external_fa);
  facts->packed_size = info.compressed_size;
  facts->unpacked_size = info.uncompressed_size;
  *stored_name_length = info.size_filename;
  return true;
}

uint32_t ZipContainer::ReadLocalHeader(uint64_t* data_offset, std::vector<unsigned char>* extra) {
  // A raw open checks the local header and positions the local extra field without decrypting or
  // inflating anything; the data itself is read by the entry data reader.
  if (unzOpenCurrentFile2(zip_, nullptr, nullptr, 1) != UNZ_OK) return ZIP_ERR_CORRUPT;
  uint32_t result = ZIP_OK;
  *data_offset = unzGetCurrentFileZStreamPos64(zip_);
  if (extra != nullptr) {
    // The local header's 16-bit length field bounds this below 64 KiB.
    const int size = unzGetLocalExtrafield(zip_, nullptr, 0);
    if (size < 0) {
      result = ZIP_ERR_EXTRA_FIELD;
    } else {
      extra->assign(static_cast<size_t>(size), 0);
      if (size > 0 &&
          unzGetLocalExtrafield(zip_, extra->data(), static_cast<unsigned>(size)) != size) {
        result = ZIP_ERR_EXTRA_FIELD;
      }
    }
  }
  unzCloseCurrentFile(zip_);
  return result;
}

int ZipContainer::Locate(const char* utf8_name, bool ignore_case) {
  // minizip refuses to search from an unusable current entry (left by a failed step).
  if (Current() < 0 && unzGoToFirstFile(zip_) != UNZ_OK) return -1;
  if (unzLocateFile(zip_, utf8_name, ignore_case ? 2 : 1) != UNZ_OK) return -1;
  const int64_t found = Current();
  return found < 0 || found >= count_ ? -1 : static_cast<int>(found);
}
