#include "JourneyArt.h"
#include "AssetWriter.h"
void JourneyArt::Generate(AssetWriter&) const {}
