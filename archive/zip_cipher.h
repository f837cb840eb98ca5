// The traditional PKWARE stream cipher of encrypted ZIP entries (decryption only).
#pragma once

#include <cstddef>
#include <cstdint>

class ZipCipher {
 public:
  // Header bytes before an encrypted entry's data; the last one checks the password.
  static constexpr size_t kHeaderSize = 12;

  // Sets the keys from a narrow password.
  void Reset(const char* password);
  void Decrypt(unsigned char* data, size_t length);

 private:
  void UpdateKeys(unsigned char plain);

  uint32_t keys_[3] = {};
};
