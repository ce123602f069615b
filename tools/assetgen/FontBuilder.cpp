#include "FontBuilder.h"
void FontBuilder::Generate(AssetWriter&) const {}
