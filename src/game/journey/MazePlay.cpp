// The journey map on screen: node buttons over the scrolling sky, links lit, locked or hidden,
// picking a node (a level starts, a treasure pays at once), unlocking after a won level, the
// idol and the won screen.
//
// Index: [view] [buttons] [play] [scrolling] [won screen] [drawing]
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/core/App.h"
#include "engine/controls/Button.h"
#include "engine/draw/Font.h"
#include "engine/core/GadgetManager.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/audio/Sound.h"
#include "engine/draw/Sprite.h"
#include "game/rules/FloatingText.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/journey/Maze.h"
#include "game/journey/MazeButton.h"
#include "game/screens/QuickMenu.h"
#include "platform/KeyCodes.h"
#include "support/DebugLog.h"

namespace {

// Node buttons: 129 pixels square, 75 pixels per lane and step, the map starting at y 100.
constexpr float kButtonSize = 129.0f;
constexpr float kPitch = 75.0f;
constexpr float kLeft = 35.0f;
constexpr float kTop = 100.0f;
// The idol stands below the last step, centred on x 400 and reaching down to where the map
// ends (the bottom of the view at the lowest scroll).
constexpr float kIdolX = 400.0f, kIdolTop = 1290.0f, kIdolBottom = 1400.0f;
// The band between the top and bottom borders, where nodes can be seen and clicked.
constexpr float kBandTop = 100.0f, kBandBottom = 530.0f;
// Auto-scroll brings highlighted nodes between these lines.
constexpr float kViewTop = 120.0f, kViewBottom = 550.0f;

GraphicsDevice* Device() { return GraphicsDevice::Current(); }

// Centre of a cell on the map, before the scroll.
float CellX(int lane) { return kPitch * float(lane) + kLeft + kButtonSize * 0.5f; }
float CellY(int step) { return kPitch * float(step) + kTop + kButtonSize * 0.5f; }

}  // namespace

// ---- [view] ---------------------------------------------------------------------------------------

// Everything of the map that scrolls: the sky, the links and (as children) the node buttons, with
// the borders and the first-visit marker drawn over them. Clicks that reach no node go on to the
// map (the won screen waits for one).
class MazeView : public Gadget {
public:
    explicit MazeView(Maze* maze) : mMaze(maze) {
        mName = "MazeView";
        SetRect(0.0f, 0.0f, 800.0f, 600.0f);
    }
    void Draw() override {
        GraphicsDevice* device = Device();
        if (!device || !mMaze->mApp) return;
        GameApp& app = *mMaze->mApp;
        device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
        float sky = mMaze->SkyTop();
        if (!app.mSkyUpper.Empty()) app.mSkyUpper.Draw(0.0f, sky);
        if (!app.mSkyLower.Empty()) app.mSkyLower.Draw(0.0f, sky + 600.0f);
        // The won screen shows the idol alone.
        if (!mMaze->mIdolTaken) mMaze->DrawLinks(mMaze->mScroll);
    }
    void DrawOverlay() override {
        GraphicsDevice* device = Device();
        if (!device || !mMaze->mApp) return;
        device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
        mMaze->Picture("Graphics\\journeytopborder").Draw(0.0f, 0.0f);
        mMaze->Picture("Graphics\\journeybottomborder").Draw(0.0f, kBandBottom);
        if (mMaze->mFirstVisit && !mMaze->mIdolTaken) {
            const Sprite& marker = mMaze->Picture("Graphics\\startjourneyhelper");
            App* app = App::Instance();
            float swing = 15.0f * std::sin(float(app ? app->mUpdateCount : 0) * 0.05f);
            // It points at the start node, so it moves with the map: scrolled down to the idol,
            // it no longer points at whatever node is then at the top.
            float top = 15.0f + (mMaze->mScroll - Maze::kScrollTop);
            if (top > -float(marker.Height())) marker.Draw(400.0f + swing - float(marker.Width()) * 0.5f, top);
        }
    }
    void MouseDown(float x, float y, int button) override { mMaze->MouseDown(x, y, button); }
    void MouseMove(float x, float y) override { mMaze->MouseMove(x, y); }

    Maze* mMaze;
};

MazeButton::MazeButton(Maze* maze, int lane, int step) : mMaze(maze), mLane(lane), mStep(step) {
    mName = "MazeButton";
    // The glow of a playable node reaches beyond its frame.
    mClip = false;
}

bool MazeButton::HitTest(float x, float y) {
    if (mHidden || y < kBandTop || y >= kBandBottom) return false;
    return Button::HitTest(x, y);
}

void MazeButton::Draw() {
    GraphicsDevice* device = Device();
    if (!device || !mMaze->mApp) return;
    const Maze& maze = *mMaze;
    float w = mRect.w, h = mRect.h;
    bool lit = !mDisabled;
    ColorCycler::Color glow = maze.mCycler.Sample(maze.mCyclerPosition);
    float pulse = 0.65f + 0.35f * std::sin(maze.mPhase * 0.06f);
    bool hover = mHover && maze.mMouseMoved && lit;

    if (IsIdol()) {
        const Sprite& idol = maze.Picture(GameApp::IdolPictureName(maze.mIdol));
        float scale = idol.Empty() ? 1.0f : h / float(idol.Height());
        if (lit) {
            device->SetColor(glow.mRed, glow.mGreen, glow.mBlue, pulse);
            maze.Picture("Graphics\\idolglow").DrawRotatedScaled(w * 0.5f, h * 0.5f, maze.mPhase, scale * 1.2f);
        }
        float shade = lit ? 1.0f : 0.45f;
        device->SetColor(shade, shade, shade, 1.0f);
        idol.DrawRotatedScaled(w * 0.5f, h * 0.5f, 0.0f, scale);
        device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
        return;
    }

    int cell = Maze::Index(mLane, mStep);
    int32_t flags = maze.mGrid[cell];
    // Playable nodes glow; the ones the last win revealed pulse brighter.
    if (lit) {
        // A treasure glows in a ring; a level's frame shows a rim of light around it.
        bool fresh = maze.mNewlyRevealed[cell] != 0;
        device->SetBlend(GraphicsDevice::Blend::kAdditive);
        device->SetColor(glow.mRed, glow.mGreen, glow.mBlue, fresh ? pulse : 0.7f);
        if (flags & Maze::kTreasure) {
            maze.Picture("Graphics\\bonushilite").DrawRotatedScaled(w * 0.5f, h * 0.5f, 0.0f, 1.3f);
        } else {
            // Soft bands behind the frame, brightest nearest to it.
            float strength = fresh ? pulse : 0.7f;
            for (int band = 1; band <= 6; ++band) {
                float pad = 1.5f * float(band);
                device->SetColor(glow.mRed, glow.mGreen, glow.mBlue, strength * 0.14f);
                device->FillRect(-pad, -pad, w + 2.0f * pad, h + 2.0f * pad);
            }
        }
        device->SetBlend(GraphicsDevice::Blend::kNormal);
    }
    float shade = (flags & Maze::kRevealed) ? 1.0f : 0.5f;
    device->SetColor(shade, shade, shade, 1.0f);
    if (const Sprite* picture = maze.NodePicture(cell)) picture->Draw(0.0f, 0.0f);
    if ((flags & Maze::kDone) && !(flags & Maze::kTreasure)) {
        device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
        maze.Picture("Graphics\\levelclearedsmall").Draw(0.0f, 0.0f);
    }
    if (hover) {
        device->SetBlend(GraphicsDevice::Blend::kAdditive);
        device->SetColor(0.25f, 0.25f, 0.25f, 1.0f);
        if (const Sprite* picture = maze.NodePicture(cell)) picture->Draw(0.0f, 0.0f);
        device->SetBlend(GraphicsDevice::Blend::kNormal);
    }
    device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
}

const Sprite& Maze::Picture(const char* name) const {
    static const Sprite kNone;
    return mApp ? mApp->Picture(name) : kNone;
}

const Sprite* Maze::NodePicture(int cell) const {
    if (cell < 0 || cell >= kCells) return nullptr;
    if (mGrid[cell] & kTreasure) {
        static const char* const kFresh[kTreasureKinds] = {"Graphics\\2x", "Graphics\\3x", "Graphics\\50k", "Graphics\\100k",
                                                           "Graphics\\secondchance"};
        static const char* const kTaken[kTreasureKinds] = {"Graphics\\usedbonus_2x", "Graphics\\usedbonus_3x",
                                                           "Graphics\\usedbonus_50k", "Graphics\\usedbonus_100k",
                                                           "Graphics\\usedbonus_secondchance"};
        int kind = std::clamp<int>(mTreasureKinds[cell], 0, kTreasureKinds - 1);
        return &Picture((mGrid[cell] & kDone) ? kTaken[kind] : kFresh[kind]);
    }
    const std::shared_ptr<Sprite>& thumb = mThumbs[static_cast<size_t>(cell)];
    if (thumb && !thumb->Empty()) return thumb.get();
    return &Picture("Graphics\\puzzlebox");
}

// ---- [buttons] ------------------------------------------------------------------------------------

void Maze::CreateControls() {
    mView = new MazeView(this);
    AddChild(mView);
    mMenuButton = new Button();
    mScrollUp = new Button();
    mScrollDown = new Button();
    if (mApp) {
        mMenuButton->SetImages(&mApp->mMenu1, &mApp->mMenu2, &mApp->mMenu3);
        mScrollUp->SetImages(&Picture("Graphics\\ScrollUp1"), &Picture("Graphics\\ScrollUp2"), &Picture("Graphics\\ScrollUp3"));
        mScrollDown->SetImages(&Picture("Graphics\\ScrollDown1"), &Picture("Graphics\\ScrollDown2"),
                               &Picture("Graphics\\ScrollDown3"));
    }
    auto place = [](Button* button, float x, float y, float w, float h) {
        const Sprite* face = button->mImages[0];
        if (face && !face->Empty()) w = float(face->Width()), h = float(face->Height());
        button->SetRect(x, y, w, h);
    };
    place(mMenuButton, 612.0f, 8.0f, 180.0f, 56.0f);
    place(mScrollUp, 766.0f, 115.0f, 32.0f, 32.0f);
    place(mScrollDown, 766.0f, 485.0f, 32.0f, 32.0f);
    for (Button* button : {mMenuButton, mScrollUp, mScrollDown}) {
        button->SetListener(this, true);
        // The keys reach the nodes; the menu has Escape and the map scrolls to the chosen node.
        button->mFocusable = false;
    }
    mTakesPadKeys = true;
}

void Maze::KeyDown(int key) {
    if (key == kKeyEscape || key == kKeyPadStart) {
        if (mMenuButton) mMenuButton->PressByKey();
        return;
    }
    if (key == kKeyPadA) key = kKeyEnter;
    if (!HandleFocusKey(key)) return;
    // The chosen node comes into view.
    Gadget* focused = FocusedControl();
    for (int guard = 0; focused && guard < 40; ++guard) {
        float top = focused->mRect.y, bottom = top + focused->mRect.h;
        float before = mScroll;
        if (top < 80.0f)
            Scroll(-50.0f);
        else if (bottom > 540.0f)
            Scroll(50.0f);
        if (mScroll == before) break;
    }
}

void Maze::DeleteButtons() {
    for (MazeButton* button : mButtons) button->Kill();
    if (mIdolButton) mIdolButton->Kill();
    mButtons.clear();
    mIdolButton = nullptr;
    mHighlights.clear();
}

void Maze::GenerateButtons(bool withScroll) {
    DeleteButtons();
    float offset = withScroll ? mScroll : 0.0f;
    for (int lane = 0; lane < kLanes; ++lane)
        for (int step = 0; step < kSteps; ++step) {
            int cell = Index(lane, step);
            if (!(mGrid[cell] & kNode)) continue;
            auto* button = new MazeButton(this, lane, step);
            button->SetListener(this, false);
            button->SetRect(kPitch * float(lane) + kLeft, kPitch * float(step) + kTop + offset, kButtonSize, kButtonSize);
            mView->AddChild(button);
            mButtons.push_back(button);
            if (mNewlyRevealed[cell]) mHighlights.push_back(button);
        }
    mIdolButton = new MazeButton(this, kIdolPlace, kIdolPlace);
    mIdolButton->SetListener(this, false);
    // The idol is shown at the size that fits below the last node, so neither covers the other.
    const Sprite& idol = Picture(GameApp::IdolPictureName(mIdol));
    float h = kIdolBottom - kIdolTop;
    float w = idol.Empty() ? h * 0.75f : h * float(idol.Width()) / float(idol.Height());
    mIdolButton->SetRect(kIdolX - w * 0.5f, kIdolTop + offset, w, h);
    mView->AddChild(mIdolButton);
    // The menu and scroll buttons stay above the map.
    if (Children()) {
        for (Button* button : {mMenuButton, mScrollUp, mScrollDown}) Children()->BringToFront(button);
    }
}

void Maze::UnlockButtons() {
    // The last step of the map's own paths: a dead end reaching step 14 leads nowhere, so its
    // nodes (a treasure taken there, above all) do not open the way to the idol.
    for (int lane = 0; lane < kLanes; ++lane) {
        int32_t flags = mGrid[Index(lane, kSteps - 1)];
        if ((flags & kDone) && !(flags & kDeadEndNode)) mIdolAvailable = true;
    }
    mHighlights.clear();
    for (MazeButton* button : mButtons) {
        int cell = Index(button->mLane, button->mStep);
        button->mDisabled = !((mGrid[cell] & kRevealed) && !(mGrid[cell] & kDone));
        if (mNewlyRevealed[cell]) mHighlights.push_back(button);
    }
    if (mIdolButton) {
        mIdolButton->mDisabled = !mIdolAvailable || mIdolTaken;
        if (mIdolAvailable && !mIdolTaken) mHighlights.push_back(mIdolButton);
    }
}

MazeButton* Maze::ButtonAt(int lane, int step) const {
    for (MazeButton* button : mButtons)
        if (button->mLane == lane && button->mStep == step) return button;
    return nullptr;
}

Maze::Place Maze::Current() const {
    if (mCurrentCell < 0) return Place{-1, -1};
    return Place{mCurrentCell / kSteps, mCurrentCell % kSteps};
}

// ---- [play] ---------------------------------------------------------------------------------------

void Maze::Initialize() {
    // A map read from a saved game is shown as it was; otherwise this is a new journey.
    if (!(mGrid[Index(4, 0)] & kNode)) {
        Generate();
        GenerateButtons(true);
        UnlockButtons();
        if (mApp) {
            mApp->mMusic.Stop();
            mApp->mMusic.PlayLooped();
            // Making the thumbnails of a first journey takes a moment: the screen change goes
            // on from here instead of hurrying to catch up.
            mApp->ResetTiming();
        }
        Scroll(-100.0f);
    } else if (mButtons.empty()) {
        GenerateButtons(true);
        UnlockButtons();
    } else {
        // A map read from a saved game has its buttons already, but joining the screen tree
        // enabled every one of them: only what can be played may glow and take clicks.
        UnlockButtons();
    }
    if (Children()) {
        for (Button* button : {mMenuButton, mScrollUp, mScrollDown}) Children()->BringToFront(button);
    }
}

void Maze::Notify(intptr_t message) {
    if (mApp) mApp->mCurrentFunction = "Maze::Notify";
    auto* sender = reinterpret_cast<Gadget*>(message);
    if (sender == mMenuButton) {
        QuickMenu::RunOver(mApp, this, mSession);
        return;
    }
    if (sender == mScrollUp || sender == mScrollDown) return;
    if (mIdolButton && sender == mIdolButton) {
        TakeIdol();
        return;
    }
    for (MazeButton* button : mButtons)
        if (sender == button) {
            Play(button->mLane, button->mStep);
            return;
        }
}

bool Maze::Play(int lane, int step) {
    if (!InGrid(lane, step) || mIdolTaken) return false;
    int cell = Index(lane, step);
    int32_t flags = mGrid[cell];
    if (!(flags & kNode) || !(flags & kRevealed) || (flags & kDone)) return false;
    // A level is on its way already (the screen is fading out).
    if (mSession && mSession->IsSwitchPending()) return false;
    if (!(flags & kTreasure)) {
        mCurrentCell = cell;
        if (mSession) mSession->StartLevel(mLevelIds[cell]);
        return true;
    }
    TakeTreasure(cell);
    return true;
}

void Maze::TakeTreasure(int cell) {
    if (mApp) mApp->mGetBonus.Play();
    int kind = std::clamp<int>(mTreasureKinds[cell], 0, kTreasureKinds - 1);
    float x = CellX(cell / kSteps), y = CellY(cell % kSteps) + mScroll;
    const char* text = nullptr;
    char points[32];
    if (mSession) {
        switch (kind) {
        case kDouble:
        case kTriple:
            // Nothing when all five slots are taken; the treasure is taken all the same.
            for (int32_t& slot : mSession->mBonus)
                if (slot == 0) {
                    slot = kind == kDouble ? 2 : 3;
                    text = kind == kDouble ? "x2 BONUS!" : "x3 BONUS!";
                    break;
                }
            break;
        case kPoints50k:
        case kPoints100k: {
            int amount = kind == kPoints50k ? 50000 : 100000;
            int multiplier = mSession->Multiplier();
            mSession->AddScore(amount, x, y);
            if (multiplier > 1)
                std::snprintf(points, sizeof points, "%dx%d", amount, multiplier);
            else
                std::snprintf(points, sizeof points, "%d", amount);
            text = points;
            break;
        }
        default:
            ++mSession->mSecondChances;
            text = "SECOND CHANCE!";
            break;
        }
    }
    if (text && mApp) {
        auto* floating = new FloatingText(text, &mApp->mFont4, x, y);
        floating->mWait = 0;
        mTexts.Add(floating);
    }
    mGrid[cell] |= kDone;
    UnlockButtons();
}

void Maze::Unlock() {
    std::fill(std::begin(mNewlyRevealed), std::end(mNewlyRevealed), 0);
    if (mCurrentCell >= 0 && mCurrentCell < kCells) {
        mGrid[mCurrentCell] |= kDone;
        int lane = mCurrentCell / kSteps, step = mCurrentCell % kSteps;
        const int directions[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
        for (const auto& d : directions) {
            // Links carry no direction here: every node linked to the won one is revealed.
            for (int l = lane + d[0], s = step + d[1]; InGrid(l, s); l += d[0], s += d[1]) {
                int cell = Index(l, s);
                int32_t& flags = mGrid[cell];
                if (flags == 0) break;
                if ((flags & kNode) && !(flags & kRevealed)) mNewlyRevealed[cell] = 1;
                flags |= kRevealed;
                if (!(flags & kLinkBits)) break;
            }
        }
    }
    mMouseMoved = false;
    UnlockButtons();
}

void Maze::ReturnedFromLevel(bool won) {
    mFirstVisit = false;
    mAutoScroll = true;
    // Coming back into the screen tree enabled every button; a lost level changes nothing else.
    if (won)
        Unlock();
    else
        UnlockButtons();
}

bool Maze::TakeIdol() {
    if (!mIdolAvailable || mIdolTaken) return false;
    if (mApp) {
        mApp->mMusic.Stop();
        mApp->mPoemSong.Play();
    }
    mIdolTaken = true;
    MakeWonText();
    return true;
}

void Maze::MouseDown(float x, float y, int button) {
    (void)x, (void)y, (void)button;
    if (mApp) mApp->mCurrentFunction = "Maze::MouseDown";
    if (!IsWonScreenDone() || mFinished) return;
    mFinished = true;
    if (mSession) mSession->JourneyFinished(mIdol);
}

void Maze::MouseMove(float x, float y) {
    (void)x, (void)y;
    if (mApp) mApp->mCurrentFunction = "Maze::MouseMove";
    mMouseMoved = true;
}

// ---- [scrolling] ----------------------------------------------------------------------------------

void Maze::Scroll(float amount) {
    if (amount < 0.0f && mScroll > kScrollTop) return;
    if (amount > 0.0f && mScroll < kScrollBottom) return;
    mScroll -= amount;
    for (MazeButton* button : mButtons) button->mRect.y -= amount;
    if (mIdolButton) mIdolButton->mRect.y -= amount;
}

float Maze::SkyTop() const {
    // The sky is two screens high and moves with the map, but slower: its top shows at the top
    // of the map and its bottom at the bottom.
    float travel = (kScrollTop + 2.0f) - (kScrollBottom - 2.0f);
    float t = std::clamp(((kScrollTop + 2.0f) - mScroll) / travel, 0.0f, 1.0f);
    return -600.0f * t;
}

void Maze::Update() {
    if (mApp) mApp->mCurrentFunction = "Maze::Update";
    mPhase += 0.5f;
    mCyclerPosition = mCycler.Advance(mCyclerPosition, 0.01f);
    if (mAutoScroll) {
        for (size_t i = 0; i < mHighlights.size();) {
            const Rect& r = mHighlights[i]->mRect;
            if (r.y < kViewTop) {
                Scroll(-2.0f);
            } else if (r.y + r.h > kViewBottom) {
                Scroll(2.0f);
            } else {
                mHighlights.erase(mHighlights.begin() + static_cast<long>(i));
                continue;
            }
            ++i;
        }
    }
    if (mIdolTaken) UpdateWon();
    if (mScrollUp->mPressed && mScrollUp->mDown) {
        Scroll(-2.0f);
        mAutoScroll = false;
    }
    if (mScrollDown->mPressed && mScrollDown->mDown) {
        Scroll(2.0f);
        mAutoScroll = false;
    }
    // The music loops on the map too; a level's board stops it when it goes, so it starts again.
    if (mApp && !mIdolTaken && ++mMusicCheck % 50 == 0 && !mApp->mMusic.IsPlaying()) mApp->mMusic.PlayLooped();
    mTexts.Update();
    if (mApp && mApp->mLogTargets) LogTargets();
}

void Maze::LogTargets() {
    // Only a map at rest: no auto-scroll still on its way, no level starting.
    if ((mAutoScroll && !mHighlights.empty()) || (mSession && mSession->IsSwitchPending()) || mIdolTaken) return;
    std::string line = "map";
    auto add = [&](const MazeButton* button, const char* kind) {
        if (button->mDisabled || button->mHidden) return;
        Point centre = button->ToScreen(Point{button->mRect.w * 0.5f, button->mRect.h * 0.5f});
        // A node half behind the borders is not offered: its centre might not take the click.
        if (centre.y < kBandTop + 10.0f || centre.y > kBandBottom - 10.0f) return;
        char part[64];
        std::snprintf(part, sizeof part, " %s %.0f %.0f", kind, centre.x, centre.y);
        line += part;
    };
    for (const MazeButton* button : mButtons)
        add(button, (mGrid[Index(button->mLane, button->mStep)] & kTreasure) ? "treasure" : "level");
    if (mIdolButton) add(mIdolButton, "idol");
    if (line == mLoggedTargets) return;
    mLoggedTargets = line;
    DebugLog::Log("%s", line.c_str());
}

// ---- [won screen] ---------------------------------------------------------------------------------

namespace {

struct IdolEntry {
    const char* mName;
    float mRed, mGreen, mBlue;
};

const IdolEntry kIdolTable[Maze::kIdols] = {
    {"The Lost Idol of Pell", 0.0f, 0.0f, 1.0f},      {"The Icon of Marlo", 1.0f, 0.6f, 0.0f},
    {"The Effigy of Tuvo", 0.0f, 1.0f, 1.0f},         {"The Carving of Fennick", 0.75f, 0.75f, 0.75f},
    {"The Relic of Dullbone", 1.0f, 1.0f, 1.0f},      {"The Obelisk of Brizzle", 1.0f, 0.0f, 1.0f},
    {"The Emblem of Krell", 1.0f, 0.0f, 0.0f},        {"The Statue of Tesselin", 0.0f, 1.0f, 0.0f},
    {"The Figurine of Varno", 1.0f, 0.5f, 0.5f},      {"The Robot Trophy", 1.0f, 1.0f, 0.5f},
    {"The Pillar of Quorl", 0.0f, 0.0f, 0.0f},
};

}  // namespace

const char* Maze::IdolName(int idol) { return kIdolTable[std::clamp(idol, 0, kIdols - 1)].mName; }

ColorCycler::Color Maze::IdolColor(int idol) {
    const IdolEntry& e = kIdolTable[std::clamp(idol, 0, kIdols - 1)];
    return ColorCycler::Color{e.mRed, e.mGreen, e.mBlue, 1.0f};
}

void Maze::UpdateWon() {
    if (mWonCounter >= kWonLength) return;
    mWonCounter += 1.0f;
    mWonSpin += 0.007f;
    mWonGrow += 0.0027f;
}

void Maze::MakeWonText() {
    mWonText = IdolName(mIdol);
    mWonColor = IdolColor(mIdol);
    for (MazeButton* button : mButtons) button->mHidden = true;
    if (mIdolButton) mIdolButton->mHidden = true;
    mScrollUp->mHidden = mScrollDown->mHidden = true;
    // The idol found, journeys completed, and the fewest moves, fastest time and fewest lost
    // levels when this journey beats them; written at once.
    if (mSession) mSession->RecordJourneyWon(mIdol);
}

// ---- [drawing] ------------------------------------------------------------------------------------

void Maze::DrawLinks(float offset) const {
    GraphicsDevice* device = Device();
    if (!device) return;
    for (int lane = 0; lane < kLanes; ++lane)
        for (int step = 0; step < kSteps; ++step) {
            int32_t flags = mGrid[Index(lane, step)];
            if (!(flags & kLinkBits) || (flags & kNode)) continue;
            bool across = (flags & (kLinkAcross | kLinkAcrossBack)) != 0;
            bool deadEnd = (flags & kDeadEndLink) != 0;
            // A long arrow spans the whole way between its two nodes, links included.
            auto longArrow = [&](int l, int s) {
                int32_t f = Cell(l, s);
                return (f & kLongArrow) && ((f & (kLinkAcross | kLinkAcrossBack)) != 0) == across;
            };
            if (!(flags & kLongArrow) &&
                (across ? longArrow(lane - 1, step) || longArrow(lane + 1, step) : longArrow(lane, step - 1) || longArrow(lane, step + 1)))
                continue;
            const char* name;
            if (flags & kLongArrow) {
                // A long arrow points the way the links beside it were walked.
                if (across) {
                    int32_t before = Cell(lane - 1, step);
                    bool left = (before & kLinkAcrossBack) && !(before & kDeadEndLink);
                    name = left ? "Graphics\\journey\\longarrowleft" : "Graphics\\journey\\longarrowright";
                } else {
                    bool up = (Cell(lane, step - 1) & kLinkUp) && !(Cell(lane, step - 1) & kLinkDown);
                    name = up ? "Graphics\\journey\\longarrowup" : "Graphics\\journey\\longarrowdown";
                }
            } else if (across) {
                // On a path 0x08 was walked toward higher lanes; in a dead end toward lower ones.
                bool right = (flags & kLinkAcross) ? !deadEnd : deadEnd;
                name = right ? "Graphics\\journey\\arrowright" : "Graphics\\journey\\arrowleft";
            } else {
                name = (flags & kLinkDown) ? "Graphics\\journey\\arrowdown" : "Graphics\\journey\\arrowup";
            }
            float x = CellX(lane), y = CellY(step) + offset;
            if (y < kBandTop - 100.0f || y > kBandBottom + 100.0f) continue;
            if (flags & kRevealed)
                device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
            else if (deadEnd)
                device->SetColor(1.0f, 0.3f, 0.3f, 0.65f);
            else
                device->SetColor(1.0f, 0.3f, 0.3f, 1.0f);
            Picture(name).DrawCentered(x, y);
        }
    device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
}

void Maze::DrawOverlay() {
    mTexts.Draw();
    if (mIdolTaken) DrawWon();
}

void Maze::DrawWon() const {
    GraphicsDevice* device = Device();
    if (!device || !mApp) return;
    float t = std::min(mWonCounter / kWonLength, 1.0f);
    device->SetColor(0.0f, 0.0f, 0.05f, 0.75f * t);
    device->FillRect(0.0f, 0.0f, 800.0f, 600.0f);
    // The idol rises from below the screen and grows, its glow turning behind it.
    float x = 400.0f, y = 700.0f - 420.0f * t;
    float scale = 1.0f + mWonGrow;
    device->SetColor(1.0f, 0.95f, 0.7f, t);
    Picture("Graphics\\idolglow").DrawRotatedScaled(x, y, mWonSpin * 57.29578f, scale * 1.4f);
    device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    Picture(GameApp::IdolPictureName(mIdol)).DrawRotatedScaled(x, y, 0.0f, scale);
    if (mWonCounter < kWonLength) return;

    auto centred = [&](const Font& font, const std::string& text, float top) {
        font.DrawText(text, 400.0f - float(font.TextWidth(text)) * 0.5f, top);
    };
    // The name in the idol's colour over a pale halo, so that the dark colours (blue, black)
    // read on the night sky too.
    const Font& large = mApp->mFont4;
    device->SetColor(1.0f, 1.0f, 0.9f, 0.5f);
    for (auto [dx, dy] : {std::pair{-3.0f, 0.0f}, {3.0f, 0.0f}, {0.0f, -3.0f}, {0.0f, 3.0f}, {-2.0f, -2.0f}, {2.0f, -2.0f},
                          {-2.0f, 2.0f}, {2.0f, 2.0f}})
        large.DrawText(mWonText, 400.0f - float(large.TextWidth(mWonText)) * 0.5f + dx, 80.0f + dy);
    device->SetColor(mWonColor.mRed, mWonColor.mGreen, mWonColor.mBlue, mWonColor.mAlpha);
    centred(large, mWonText, 80.0f);
    device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    if (mApp->mPoemSong.IsPlaying()) return;
    char score[48];
    std::snprintf(score, sizeof score, "FINAL SCORE: %d", mSession ? mSession->mScore : 0);
    // Both lines stay above the bottom border.
    centred(mApp->mFont2, score, 450.0f);
    centred(mApp->mFont2, "Click to Continue", 495.0f);
}
