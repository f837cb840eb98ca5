// The render engine's own hold on GDI+: started once, on first use, and kept for the life of the
// process, so images and brushes made through it stay valid whatever order paint managers (which
// start and shut down GDI+ themselves) are created and destroyed in. UI thread only.
#pragma once

namespace ZQUI {

// True when GDI+ is usable.
bool EnsureGdiplus();

}  // namespace ZQUI
