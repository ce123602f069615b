#include "SoundBank.h"
void SoundBank::Generate(AssetWriter&) const {}
