// The window's translation of window-system events into engine messages, fed with synthetic
// events through the real pump on the dummy video driver.
#include <gtest/gtest.h>

#include <vector>

#include "platform/Desktop.h"
#include "platform/Keyboard.h"
#include "platform/KeyCodes.h"
#include "platform/PlatformEvent.h"
#include "platform/Window.h"

namespace {

std::vector<PlatformEvent> Pump(Window& window) {
    std::vector<PlatformEvent> out;
    window.Pump([&out](const PlatformEvent& e) { out.push_back(e); });
    return out;
}

struct OpenWindow {
    Window window;
    OpenWindow() {
        Window::Options options;
        options.title = "test";
        EXPECT_TRUE(window.Create(options)) << Window::LastError();
        Pump(window);
    }
};

}  // namespace

TEST(WindowTest, MousePositionsPackAsSignedSixteenBitPairs) {
    for (auto [x, y] : {std::pair{0, 0}, {799, 599}, {-9999, -9999}, {-1, 32767}, {-32768, 5}}) {
        int64_t l = PackMousePosition(x, y);
        EXPECT_EQ(MousePositionX(l), x);
        EXPECT_EQ(MousePositionY(l), y);
    }
}

TEST(WindowTest, MouseEventsBecomeEngineMessages) {
    OpenWindow w;
    w.window.PushMouseMove(12, 34);
    w.window.PushMouseButton(-1, true, 1, 2, 1);
    w.window.PushMouseButton(-1, false, 1, 2, 1);
    w.window.PushMouseButton(-1, true, 1, 2, 2);
    w.window.PushMouseButton(1, true, 3, 4, 1);
    w.window.PushMouseButton(0, false, 5, 6, 1);
    std::vector<PlatformEvent> events = Pump(w.window);
    const int expected[] = {kMsgMouseMove, kMsgLeftDown, kMsgLeftUp, kMsgLeftDoubleClick, kMsgRightDown, kMsgMiddleUp};
    ASSERT_EQ(events.size(), std::size(expected));
    for (size_t i = 0; i < events.size(); ++i) EXPECT_EQ(events[i].message, expected[i]) << i;
    EXPECT_EQ(MousePositionX(events[0].l), 12);
    EXPECT_EQ(MousePositionY(events[0].l), 34);
    EXPECT_EQ(MousePositionY(events[5].l), 6);
    EXPECT_TRUE(w.window.MouseInside());
    w.window.PushMouseLeave();
    EXPECT_EQ(Pump(w.window).at(0).message, kMsgMouseLeftWindow);
    EXPECT_FALSE(w.window.MouseInside());
}

TEST(WindowTest, KeysAndTypedTextBecomeKeyCodesAndCharacters) {
    OpenWindow w;
    const int keys[] = {kKeyA, kKeyA + 25, kKey0, kKey0 + 9, kKeyEnter, kKeyEscape, kKeyBackspace, kKeyTab,
                        kKeyLeft, kKeyDelete, kKeyHome, kKeyEnd, kKeyInsert, kKeyF1, kKeyF1 + 11, kKeyPrintScreen,
                        kKeyShift, kKeyControl, kKeySpace, kKeyMultiply, kKeyDivide};
    for (int key : keys) {
        w.window.PushKey(key, true);
        w.window.PushKey(key, false);
        std::vector<PlatformEvent> events = Pump(w.window);
        ASSERT_EQ(events.size(), 2u) << std::hex << key;
        EXPECT_EQ(events[0].message, kMsgKeyDown);
        EXPECT_EQ(events[0].w, key);
        EXPECT_EQ(events[1].message, kMsgKeyUp);
    }
    // UTF-8 text: one character per code point; broken sequences are dropped, not misread.
    w.window.PushText("a\xC3\xA9\xE2\x82\xAC");
    w.window.PushText("\xC3(\xFFz");
    std::vector<int> chars;
    for (const PlatformEvent& e : Pump(w.window))
        if (e.message == kMsgChar) chars.push_back(int(e.w));
    EXPECT_EQ(chars, (std::vector<int>{'a', 0xE9, 0x20AC, '(', 'z'}));
}

TEST(WindowTest, WindowStateEventsAndOtherWindowsEvents) {
    OpenWindow w;
    w.window.PushFocus(false);
    w.window.PushClose();
    std::vector<PlatformEvent> events = Pump(w.window);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].message, kMsgActivate);
    EXPECT_EQ(events[0].w, 0);
    EXPECT_FALSE(w.window.HasFocus());
    EXPECT_EQ(events[1].message, kMsgClose);

    // Events addressed to another window are not ours.
    Window other;
    Window::Options options;
    ASSERT_TRUE(other.Create(options));
    Pump(other);
    other.PushMouseMove(1, 1);
    other.PushClose();
    EXPECT_TRUE(Pump(w.window).empty());
}

TEST(WindowTest, KeyboardScanCodeTable) {
    // Every engine scan code the frame tests has a platform key behind it, and the state reads.
    uint8_t state[256];
    ASSERT_TRUE(Window::InitVideo());
    EXPECT_TRUE(Keyboard::ReadState(state));
    for (int i = 0; i < 256; ++i) EXPECT_EQ(state[i], 0) << i;
    EXPECT_EQ(Keyboard::KeyCodeFromPlatform(-12345), 0);
    EXPECT_EQ(Keyboard::PlatformKeyFromKeyCode(0x07), 0);
}

TEST(WindowTest, OnlyWebAndMailAddressesAreHandedToTheDesktop) {
    for (const char* url : {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", "", "-e foo",
                            "http://example.com/\nrm", "smb://host/share"})
        EXPECT_FALSE(Desktop::OpenURL(url)) << url;
    EXPECT_EQ(Desktop::ShowMessageBox("Title", "text", Desktop::Buttons::kYesNo), Desktop::Answer::kNotShown);
    ASSERT_TRUE(Window::InitVideo());
    EXPECT_TRUE(Desktop::SetClipboardText("QUORL"));
    EXPECT_EQ(Desktop::GetClipboardText(), "QUORL");
}
