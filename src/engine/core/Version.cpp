#include "engine/core/Version.h"

const char* const kGameTitle = "Quorl Slide";
const char* const kGameVersion = QS_VERSION;
