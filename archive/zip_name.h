// Entry names: keeping a bounded part of the stored bytes, decoding them, sanitising the result
// and judging whether it can be appended to a target folder without leaving it.
#pragma once

#include <cstddef>
#include <string>

// Stored name bytes kept per entry (the name field holds MAX_PATH characters with the terminator).
constexpr size_t kZipNameBytes = 259;

// Length of the prefix of a stored name (stored_length bytes, of which `bytes` holds at least
// min(stored_length, limit + 1)) that fits `limit` bytes without splitting a UTF-8 sequence.
size_t ZipKeptNameLength(const char* bytes, size_t stored_length, size_t limit);

// Decodes UTF-8 (whatever the archive's flags say); malformed sequences become U+FFFD.
// Embedded NUL characters are kept so that the safety check sees them.
std::wstring ZipDecodeName(const char* bytes, size_t length);

// Removes drive prefixes, leading separators and parent-folder steps until nothing changes, so the
// name never starts with a separator or a drive and holds no "\..\"-like step.
std::wstring ZipSanitiseName(std::wstring name);

// True when a sanitised name can be appended to a folder and still name something inside it:
// not empty, no control, wildcard or ':' characters (a ':' would address an alternate data
// stream), no component made only of dots and spaces (Windows trims those to ".." or nothing),
// and no reserved device name.
bool ZipNameIsSafe(const std::wstring& name);
