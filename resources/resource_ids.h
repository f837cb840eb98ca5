// Identifiers of the installer executable's own resources. Shared by the resource script and the
// code that looks the resources up, so the two cannot drift apart.
#pragma once

#define IDR_SKIN_ZIP 133       // type "ZIP": the skin archive (1.xml and its images)
#define IDR_LICENCE_TXT 134    // type "TXT": licence agreement, UTF-8 without BOM, CR LF
#define IDI_INSTALLER 107      // icon group: the executable's icon in the shell
#define IDI_WINDOW 108         // icon group: the installer window's icon
#define IDR_VERSION 1          // version information
#define IDR_MANIFEST 1         // application manifest (RT_MANIFEST)
