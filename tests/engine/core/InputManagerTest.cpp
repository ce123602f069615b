// Keyboard snapshots: one press per hold, focus loss, failed reads, and the key-name table.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/InputManager.h"

TEST(InputManagerTest, HeldKeyReportsOnePressAndFailedReadsForgetEverything) {
    uint8_t keys[256] = {};
    bool readable = true;
    InputManager input;
    input.Init([&](uint8_t* state) {
        std::memcpy(state, keys, 256);
        return readable;
    });
    keys[0x39] = 0x80;
    int presses = 0;
    for (int step = 0; step < 10; ++step) {
        input.Update();
        presses += input.WasPressed(0x39);
        EXPECT_TRUE(input.IsDown(0x39));
    }
    EXPECT_EQ(presses, 1);

    readable = false;
    input.Update();
    EXPECT_FALSE(input.IsDown(0x39));
    readable = true;
    input.Update();
    EXPECT_TRUE(input.WasPressed(0x39)) << "after a lost device a held key is new again";

    input.Clear();
    input.Update();
    EXPECT_TRUE(input.WasPressed(0x39)) << "after a lost focus a held key is new again";
    for (int code : {-1, 256, 100000}) {
        EXPECT_FALSE(input.IsDown(code));
        EXPECT_FALSE(input.WasPressed(code));
    }
}

TEST(InputManagerTest, KeyNames) {
    const struct {
        int code;
        const char* name;
    } cases[] = {
        {0x01, "ESC"}, {0x02, "1"}, {0x0B, "0"}, {0x10, "Q"}, {0x19, "P"}, {0x1E, "A"}, {0x26, "L"},
        {0x2B, "\\"}, {0x2C, "Z"}, {0x32, "M"}, {0x37, "* (KEYPAD)"}, {0x3B, "F1"}, {0x44, "F10"},
        {0x53, ". (KEYPAD)"}, {0x54, "???"}, {0x57, "F11"}, {0x58, "F12"}, {0x66, "F15"}, {0xA2, "PAUSE"},
        {0xC5, "PAUSE"}, {0xD3, "DELETE"}, {0xED, "MEDIA SELECT"}, {0xEE, "???"}, {0, "???"},
        {254, "???"}, {255, "???"}, {-1, "???"}, {1000, "???"},
    };
    for (const auto& c : cases) EXPECT_STREQ(InputManager::KeyName(c.code), c.name) << std::hex << c.code;
    int named = 0;
    for (int code = 0; code < 255; ++code) named += std::strcmp(InputManager::KeyName(code), "???") != 0;
    EXPECT_EQ(named, 129);
}
