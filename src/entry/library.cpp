// The shared library the host loads: all of its code comes from the layers (src/CMakeLists.txt),
// linked in whole; this file only gives the target a source of its own.
#include "entry/fingraf_export.h"
