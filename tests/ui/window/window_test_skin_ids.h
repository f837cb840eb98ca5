// Resource ids of the skins compiled into the window tests.
#pragma once

#define IDR_SKIN_PAGE 301
#define IDR_SKIN_PART 302
