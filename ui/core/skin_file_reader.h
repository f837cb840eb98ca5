// Reads the bytes of one skin item (an image or a font file) from wherever the skin lives: the
// module resources when a resource type is given, else the resource archive when one is set, else
// the file under the resource path. UI thread only.
#pragma once

#include <windows.h>

#include <vector>

namespace ZQUI {

// Largest skin item read into memory. Sizes come from archive headers and files that the program
// does not control, so they are checked against this before anything is allocated.
constexpr DWORD kMaxSkinItemBytes = 64u * 1024u * 1024u;

// `name` is a file or item name, or a numeric id (IS_INTRESOURCE) when `type` is given; a null
// `instance` means the resource module. A skin held in the resources or in an archive that lacks
// the item yields nothing: the item is not then looked for in the current folder, where anyone
// may have put a file of that name. A folder skin falls back to the name taken as a path.
bool ReadSkinItem(const wchar_t* name, const wchar_t* type, HINSTANCE instance, std::vector<BYTE>* bytes);

// Reads a whole file; false when it cannot be opened, exceeds the cap or reads short.
bool ReadWholeFile(const wchar_t* path, std::vector<BYTE>* bytes);

}  // namespace ZQUI
