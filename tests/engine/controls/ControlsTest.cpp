// The standard controls driven like a player: events go through the window into the real loop.
#include <gtest/gtest.h>

#include <vector>

#include "engine/controls/Button.h"
#include "engine/controls/EditBox.h"
#include "engine/controls/ScrollerGadget.h"
#include "engine/controls/Slider.h"
#include "engine/core/AppTestDriver.h"
#include "engine/draw/Font.h"
#include "platform/Desktop.h"
#include "platform/KeyCodes.h"

namespace {

// A screen that remembers which controls told it something.
class Screen : public Gadget {
public:
    Screen() { SetRect(0, 0, 800, 600); }
    void Notify(intptr_t message) override { mHeard.push_back(message); }
    int Count(const void* control) const {
        int n = 0;
        for (intptr_t m : mHeard) n += m == reinterpret_cast<intptr_t>(control);
        return n;
    }
    std::vector<intptr_t> mHeard;
};

struct Fixture {
    AppTestDriver<> drive;
    Screen* screen = new Screen;
    Fixture() { drive.app->mGadgets.Add(screen); }
};

// Letters a-z and digits 10 wide; upper case only for the letters listed in `capitals`.
void MakeFont(Font& font, const std::string& capitals) {
    font.Clear();
    for (int c = 'a'; c <= 'z'; ++c) font.mGlyphs[c].mDefined = true, font.mGlyphs[c].mAdvance = 10;
    for (int c = '0'; c <= '9'; ++c) font.mGlyphs[c].mDefined = true, font.mGlyphs[c].mAdvance = 10;
    for (char c : capitals) font.mGlyphs[int(c)].mDefined = true, font.mGlyphs[int(c)].mAdvance = 10;
    font.mGlyphs[int('/')].mDefined = true;
    font.mGlyphs[int('/')].mAdvance = 10;
    font.mSpaceWidth = 5;
    font.mLineHeight = 12;
    font.mLoaded = true;
}

}  // namespace

TEST(ButtonTest, ClickNotifiesButDraggingOffBeforeReleaseDoesNot) {
    Fixture f;
    Button* b = new Button;
    b->SetRect(100, 100, 80, 30);
    b->SetListener(f.screen);
    f.drive.MoveTo(120, 110);
    f.drive.Press(120, 110);
    f.drive.Step();
    EXPECT_TRUE(b->mDown);
    EXPECT_EQ(b->ShownFace(), Button::kPressed);
    f.drive.Release(120, 110);
    f.drive.Step();
    EXPECT_EQ(f.screen->Count(b), 1);
    EXPECT_FALSE(b->mDown);
    EXPECT_EQ(b->ShownFace(), Button::kHover);

    f.drive.DragFromTo(120, 110, 400, 400);
    EXPECT_EQ(f.screen->Count(b), 1) << "released off the button";
    EXPECT_FALSE(b->mDown);
}

TEST(ButtonTest, ToggleAndNotifyOnPress) {
    Fixture f;
    Button* toggle = new Button;
    toggle->SetRect(10, 10, 50, 50);
    toggle->SetToggle(true);
    toggle->SetListener(f.screen);
    Button* onPress = new Button;
    onPress->SetRect(200, 10, 50, 50);
    onPress->SetNotifyOnPress(true);
    onPress->SetListener(f.screen);

    f.drive.MoveTo(20, 20);
    f.drive.Press(20, 20);
    f.drive.Step();
    EXPECT_EQ(f.screen->Count(toggle), 1) << "a toggle tells on the press";
    f.drive.Release(20, 20);
    f.drive.MoveTo(500, 500);
    f.drive.Step();
    EXPECT_TRUE(toggle->mDown) << "and stays down";
    EXPECT_EQ(toggle->ShownFace(), Button::kPressed);
    f.drive.MoveTo(20, 20);
    f.drive.Press(20, 20);
    f.drive.Release(20, 20);
    f.drive.Step();
    EXPECT_EQ(f.screen->Count(toggle), 1) << "pressing a button that is down does nothing";

    f.drive.MoveTo(210, 20);
    f.drive.Press(210, 20);
    f.drive.Step();
    EXPECT_EQ(f.screen->Count(onPress), 1);
    f.drive.Release(210, 20);
    f.drive.Step();
    EXPECT_EQ(f.screen->Count(onPress), 1) << "no second message on the release";
    f.drive.DoubleClick(210, 20);
    f.drive.Step();
    EXPECT_EQ(f.screen->Count(onPress), 3) << "press plus double click";
}

TEST(EditBoxTest, TypingCapitalisesOnlyWhenTheFontHasTheCapital) {
    Fixture f;
    Font font;
    MakeFont(font, "A");
    struct Case {
        std::string typed, expected;
    } cases[] = {{"abc", "Abc"}, {"bob", "bob"}, {"aa", "Aa"}, {"a~b\xC3\xA9", "Ab"}};
    for (const Case& c : cases) {
        EditBox* box = new EditBox;
        box->SetRect(100, 100, 300, 20);
        box->SetFont(&font);
        box->SetListener(f.screen);
        f.drive.MoveTo(150, 110);
        f.drive.Press(150, 110);
        f.drive.Release(150, 110);
        f.drive.Type(c.typed);
        f.drive.Step();
        EXPECT_EQ(box->GetText(), c.expected) << "typed " << c.typed;
        EXPECT_EQ(box->mCaret, int(c.expected.size()));
        EXPECT_FLOAT_EQ(box->mCaretX, 10.0f * c.expected.size());
        box->Kill();
        f.drive.Step(2);
    }
}

TEST(EditBoxTest, RefusalsKeysEnterAndCaretPlacement) {
    Fixture f;
    Font font;
    MakeFont(font, "ABC");
    EditBox* box = new EditBox;
    box->SetRect(100, 100, 300, 20);
    box->SetFont(&font);
    box->SetListener(f.screen);
    box->SetForbidden("/");
    box->SetLimitLength(true, 5);
    f.drive.MoveTo(150, 110);
    f.drive.Press(150, 110);
    f.drive.Release(150, 110);
    f.drive.Type(" a/b cdefg");  // leading space and "/" refused, then the length limit
    f.drive.Step();
    EXPECT_EQ(box->GetText(), "Ab cd");
    f.drive.KeyPress(kKeyHome);
    f.drive.KeyPress(kKeyRight);
    f.drive.KeyPress(kKeyDelete);
    f.drive.KeyPress(kKeyEnd);
    f.drive.KeyPress(kKeyBackspace);
    f.drive.Step();
    EXPECT_EQ(box->GetText(), "A c");
    EXPECT_EQ(box->mCaret, 3);
    // Click between the characters: left inset 4, "A" 0-10, " " 10-15, "c" 15-25.
    struct Click {
        int x, caret;
    } clicks[] = {{100 + 4 + 4, 0}, {100 + 4 + 6, 1}, {100 + 4 + 21, 3}};
    for (const Click& c : clicks) {
        f.drive.Press(c.x, 110);
        f.drive.Release(c.x, 110);
        f.drive.Step();
        EXPECT_EQ(box->mCaret, c.caret) << "click at " << c.x;
    }
    // Enter finishes: the focus goes and the listener hears of it; an empty field refuses.
    f.drive.KeyPress(kKeyEnter);
    f.drive.Step();
    EXPECT_EQ(f.screen->Count(box), 1);
    EXPECT_EQ(f.drive.app->mKeyboardFocus, nullptr);
    box->SetText("");
    box->TakeKeyboardFocus();
    f.drive.KeyPress(kKeyEnter);
    f.drive.Step();
    EXPECT_EQ(f.screen->Count(box), 1);
}

TEST(EditBoxTest, PasteDropsControlCharactersAndKeepsTheRules) {
    Fixture f;
    Font font;
    MakeFont(font, "J");
    EditBox* box = new EditBox;
    box->SetRect(0, 0, 300, 20);
    box->SetFont(&font);
    box->SetListener(f.screen);
    box->SetForbidden("/");
    box->SetLimitWidth(true, 60);  // 60 - inset 4: five letters fit
    box->Paste("jo\r\nh/n\tn\x01y");
    EXPECT_EQ(box->GetText(), "Johnn");
    box->SetText("");
    box->SetLimitWidth(false, 0);
    box->Paste("line1\nline2");
    EXPECT_EQ(box->GetText(), "line1line2");  // no "L" in this font
    EXPECT_EQ(box->GetText().find_first_of("\r\n"), std::string::npos);
}

TEST(EditBoxTest, ControlVAndRightClickPasteFromTheClipboard) {
    Fixture f;
    if (!Desktop::SetClipboardText("ab\r\ncd")) GTEST_SKIP() << "no clipboard here";
    Font font;
    MakeFont(font, "");
    EditBox* box = new EditBox;
    box->SetRect(100, 100, 300, 20);
    box->SetFont(&font);
    box->SetListener(f.screen);
    f.drive.MoveTo(150, 110);
    f.drive.Press(150, 110, 1);  // a right press pastes (and takes the focus)
    f.drive.Release(150, 110, 1);
    f.drive.Step();
    EXPECT_EQ(box->GetText(), "abcd");
    f.drive.Hold(kScanLeftCtrl);
    f.drive.Step();
    f.drive.KeyPress('V');
    f.drive.Step();
    EXPECT_EQ(box->GetText(), "abcdabcd");
}

TEST(SliderTest, DraggingPastEitherEndGivesExactlyZeroAndOne) {
    Fixture f;
    Slider* slider = new Slider;
    slider->SetRect(100, 100, 210, 20);
    slider->SetListener(f.screen);
    slider->SetValue(0.5f);
    EXPECT_FLOAT_EQ(slider->ThumbCenterX(), 105.0f);
    f.drive.MoveTo(205, 110);
    f.drive.Step();
    EXPECT_TRUE(slider->mHoverThumb);
    f.drive.DragFromTo(205, 110, 700, 110);
    EXPECT_EQ(slider->GetValue(), 1.0f);
    EXPECT_FALSE(slider->mDraggingThumb);
    EXPECT_GE(f.screen->Count(slider), 4);
    f.drive.DragFromTo(305, 110, 0, 110);
    EXPECT_EQ(slider->GetValue(), 0.0f);
    // A drag that starts beside the thumb moves nothing.
    f.drive.DragFromTo(250, 110, 290, 110);
    EXPECT_EQ(slider->GetValue(), 0.0f);
    // A grab off the thumb's centre keeps that offset.
    slider->SetValue(0.5f);
    f.drive.DragFromTo(208, 110, 258, 110);
    EXPECT_NEAR(slider->GetValue(), 0.75f, 1e-5);
}

namespace {

class PickList : public ScrollerGadget {
public:
    void RegionSelected(int index) override { mPicked.push_back(index); }
    std::vector<int> mPicked;
};

}  // namespace

TEST(ScrollerTest, HeldArrowScrollsOnceThenEveryStepAfterFiftySteps) {
    Fixture f;
    PickList* list = new PickList;
    list->SetRect(100, 100, 200, 300);
    f.screen->AddChild(list);
    list->SetContentSize(200, 1300);
    f.drive.Step();
    // The down arrow sits at the bottom of the bar.
    f.drive.MoveTo(290, 390);
    f.drive.Press(290, 390);
    f.drive.Step();
    EXPECT_FLOAT_EQ(list->mScrollY, 5.0f);
    f.drive.Step(49);
    EXPECT_FLOAT_EQ(list->mScrollY, 5.0f) << "nothing while the delay runs";
    f.drive.Step(10);
    EXPECT_FLOAT_EQ(list->mScrollY, 5.0f + 10 * 5.0f);
    f.drive.Release(290, 390);
    f.drive.Step(10);
    EXPECT_FLOAT_EQ(list->mScrollY, 55.0f);
    // Held up arrow never goes below 0.
    f.drive.Press(290, 105);
    f.drive.Step(80);
    f.drive.Release(290, 105);
    f.drive.Step();
    EXPECT_FLOAT_EQ(list->mScrollY, 0.0f);
}

TEST(ScrollerTest, PagingThumbDragAndRegions) {
    Fixture f;
    PickList* list = new PickList;
    list->SetRect(100, 100, 200, 300);
    f.screen->AddChild(list);
    list->SetContentSize(200, 1300);
    for (int i = 0; i < 26; ++i) list->AddRegion(Rect{0, float(i * 50), 170, 50});
    f.drive.Step();
    // A held click on the bar below the thumb pages at once, then every 8 steps after 50.
    f.drive.MoveTo(290, 300);
    f.drive.Press(290, 300);
    f.drive.Step();
    EXPECT_FLOAT_EQ(list->mScrollY, 300.0f);
    f.drive.Step(50);
    EXPECT_FLOAT_EQ(list->mScrollY, 600.0f);
    f.drive.Step(8);
    EXPECT_FLOAT_EQ(list->mScrollY, 900.0f);
    f.drive.Release(290, 300);
    f.drive.Step(20);
    EXPECT_FLOAT_EQ(list->mScrollY, 900.0f);
    // Dragging the thumb to the far ends reaches exactly the limits.
    Rect thumb = list->VerticalThumb();
    int tx = 100 + int(thumb.x + thumb.w / 2), ty = 100 + int(thumb.y + thumb.h / 2);
    f.drive.DragFromTo(tx, ty, tx, 590);
    EXPECT_FLOAT_EQ(list->mScrollY, list->MaxScrollY());
    thumb = list->VerticalThumb();
    ty = 100 + int(thumb.y + thumb.h / 2);
    f.drive.DragFromTo(tx, ty, tx, 0);
    EXPECT_FLOAT_EQ(list->mScrollY, 0.0f);
    // A press in the content selects the region under it, scroll included.
    list->SetScroll(0, 120);
    f.drive.Press(150, 110);  // content y = 10 + 120 = 130: region 2
    f.drive.Release(150, 110);
    f.drive.Step();
    EXPECT_EQ(list->SelectedRegion(), 2);
    f.drive.Press(150, 300);  // content y = 320: region 6
    f.drive.Release(150, 300);
    f.drive.Step();
    EXPECT_EQ(list->SelectedRegion(), 6);
    EXPECT_EQ(list->mPicked, (std::vector<int>{2, 6}));
}
