// The FreeType build carries a private zlib copy inside its gzip module whose symbols collide with
// the zlib that the archive reader links. Skin text only ever opens plain TrueType data fetched
// from GDI, never gzip-compressed or WOFF fonts, so the two gzip entry points FreeType's drivers
// refer to are defined here as unavailable; the linker then never pulls in the colliding module.
// The face cache calls FreeTypeWithoutGzip so that this object is always part of the link.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GZIP_H

namespace ZQUI {
void FreeTypeWithoutGzip() {}
}  // namespace ZQUI

extern "C" FT_Error FT_Stream_OpenGzip(FT_Stream stream, FT_Stream source) {
  (void)stream;
  (void)source;
  return FT_Err_Unimplemented_Feature;
}

extern "C" FT_Error FT_Gzip_Uncompress(FT_Memory memory, FT_Byte* output, FT_ULong* output_len,
                                      const FT_Byte* input, FT_ULong input_len) {
  (void)memory;
  (void)output;
  (void)output_len;
  (void)input;
  (void)input_len;
  return FT_Err_Unimplemented_Feature;
}
