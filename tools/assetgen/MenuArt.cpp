#include "MenuArt.h"
#include "AssetWriter.h"
void MenuArt::Generate(AssetWriter&) const {}
