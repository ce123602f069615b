// The colour-by-index table used for stars and other cosmetic colouring.
#include "engine/draw/ColorTable.h"

ColorTable::Color ColorTable::Get(int index) {
    static const Color kColors[kCount] = {
        {1.0f, 0.0f, 0.0f, 1.0f},   {1.0f, 0.5f, 0.0f, 1.0f},   {1.0f, 1.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f, 1.0f},
        {0.0f, 1.0f, 1.0f, 1.0f},   {0.0f, 0.0f, 1.0f, 1.0f},   {1.0f, 0.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f},
        {0.0f, 0.0f, 0.0f, 1.0f},   {0.75f, 0.75f, 0.75f, 1.0f}};
    int i = index % kCount;
    if (i < 0) i += kCount;
    return kColors[i];
}
