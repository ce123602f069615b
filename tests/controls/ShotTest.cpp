// Renders a screen of controls headless when QS_CONTROLS_SHOT names a PNG path (for a look by eye);
// QS_CONTROLS_FONT may name a font to use instead of the built-in block font.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/Button.h"
#include "app/EditBox.h"
#include "app/Font.h"
#include "app/Hyperlink.h"
#include "app/Image.h"
#include "app/ScrollerGadget.h"
#include "app/Slider.h"
#include "app/Sprite.h"
#include "drawing/HeadlessShot.h"
#include "persistence/DataBuffer.h"

TEST(ControlsShot, WritesAPictureWhenAsked) {
    const char* path = std::getenv("QS_CONTROLS_SHOT");
    if (!path) GTEST_SKIP() << "set QS_CONTROLS_SHOT to a PNG path";
    AppTestDriver<ShotApp> drive;
    // A blocky font: each glyph a filled box the height of a capital.
    std::string chars, widths, rects;
    for (int c = 33; c < 127; ++c) {
        if (c == '\'') continue;
        chars += std::string(chars.empty() ? "" : ",") + "'" + char(c) + "'";
        widths += std::string(widths.empty() ? "" : ",") + (c >= 'a' ? "8" : "10");
        rects += std::string(rects.empty() ? "" : ",") + (c >= 'a' ? "(0,4,6,10)" : "(0,0,8,14)");
    }
    std::string text = "Define CharList (" + chars + "); Define WidthList (" + widths + "); Define RectList (" + rects +
                       "); LayerSetCharWidths 0 (' ') 5;";
    DataBuffer b;
    b.SetData(text.data(), text.size());
    Font font;
    font.ReadText(b, "", false);
    Image layer;
    layer.Create(8, 14, 0xFFFFFFFFu);
    font.BuildTextGlyphs(layer);
    font.MakeSprites();
    font.mLoaded = true;
    if (const char* name = std::getenv("QS_CONTROLS_FONT")) {
        EXPECT_TRUE(font.Load(name)) << font.Problem();
    }

    Gadget* screen = new Gadget;
    screen->SetRect(0, 0, 800, 600);
    drive.app->mGadgets.Add(screen);
    EditBox* box = new EditBox;
    box->SetRect(50, 50, 300, 24);
    box->SetFont(&font);
    box->SetListener(screen);
    box->SetText("Player One");
    box->TakeKeyboardFocus();
    Slider* slider = new Slider;
    slider->SetRect(50, 120, 300, 20);
    slider->mTrackColor[0] = slider->mTrackColor[1] = slider->mTrackColor[2] = 0.3f;
    slider->mTrackColor[3] = 1.0f;
    slider->SetValue(0.7f);
    slider->SetListener(screen);
    ScrollerGadget* scroller = new ScrollerGadget;
    scroller->SetRect(400, 50, 300, 400);
    scroller->SetBackgroundColor(0.1f, 0.1f, 0.3f);
    screen->AddChild(scroller);
    scroller->SetContentSize(600, 1200);
    scroller->SetScroll(0, 300);
    Hyperlink* link = new Hyperlink;
    link->SetRect(50, 200, 300, 200);
    link->SetFont(&font);
    link->SetCaption(font.WrapText("Wrapped to three hundred pixels: the quick brown fox jumps over the "
                                   "lazy dog, twice-over and again.", 300));
    screen->AddChild(link);
    drive.Step();
    EXPECT_TRUE(HeadlessShot::Write(drive, path));
}
