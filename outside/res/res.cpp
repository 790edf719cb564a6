// res.dll holds only resources (bitmaps 102 and 103, see res.rc); it has no
// code of its own beyond what a module needs to load.
#include "common/platform.h"
