#include "archive/zip_cipher.h"

#include <zlib.h>

namespace {

uint32_t Crc32Byte(const z_crc_t* table, uint32_t crc, unsigned char byte) {
  return static_cast<uint32_t>(table[(crc ^ byte) & 0xFF]) ^ (crc >> 8);
}

}  // namespace

void ZipCipher::Reset(const char* password) {
  keys_[0] = 0x12345678u;
  keys_[1] = 0x23456789u;
  keys_[2] = 0x34567890u;
  for (const char* p = password; p != nullptr && *p != '\0'; ++p) {
    UpdateKeys(static_cast<unsigned char>(*p));
  }
}

void ZipCipher::UpdateKeys(unsigned char plain) {
  const z_crc_t* table = get_crc_table();
  keys_[0] = Crc32Byte(table, keys_[0], plain);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
  keys_[2] = Crc32Byte(table, keys_[2], static_cast<unsigned char>(keys_[1] >> 24));
}

void ZipCipher::Decrypt(unsigned char* data, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    const uint32_t temp = (keys_[2] & 0xFFFF) | 2;
    const unsigned char plain =
        static_cast<unsigned char>(data[i] ^ static_cast<unsigned char>((temp * (temp ^ 1)) >> 8));
    data[i] = plain;
    UpdateKeys(plain);
  }
}
