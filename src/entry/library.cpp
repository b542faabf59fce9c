// The shared library the host loads: all of its code comes from the component and the core,
// linked in whole (see src/CMakeLists.txt); this file only gives the target a source of its own.
#include "entry/fingraf_export.h"
