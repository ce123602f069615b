// The level screen around the board: background, danger meter, hint and menu buttons, the score
// above the board and the no-moves overlay with its wheel.
#include "game/rules/BoardContainer.h"

#include <algorithm>
#include <cstdio>

#include "engine/controls/Button.h"
#include "engine/draw/Font.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Sprite.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/rules/Board.h"
#include "game/rules/Board_FreeForm.h"
#include "game/screens/QuickMenu.h"
#include "persistence/DataBuffer.h"
#include "persistence/RecordReader.h"
#include "platform/KeyCodes.h"

BoardContainer::BoardContainer(GameSession* session, GameApp* app) : mSession(session), mApp(app) {
    mName = "BoardContainer";
    SetRect(0.0f, 0.0f, 800.0f, 600.0f);
    mHintButton = new Button();
    mMenuButton = new Button();
    if (mApp) {
        mHintButton->SetImages(&mApp->mCrystalBall1, &mApp->mCrystalBall2, &mApp->mCrystalBall2);
        mHintButton->SetPressSound(&mApp->mCrystalBall);
        mHintButton->SetHoverSound(&mApp->mCrystalBallOver);
        mMenuButton->SetImages(&mApp->mMenu1, &mApp->mMenu2, &mApp->mMenu3);
    }
    auto place = [](Button* button, float x, float y, const Sprite* face) {
        float w = face && !face->Empty() ? float(face->Width()) : 120.0f;
        float h = face && !face->Empty() ? float(face->Height()) : 60.0f;
        button->SetRect(x, y, w, h);
    };
    place(mHintButton, 625.0f, 420.0f, mApp ? &mApp->mCrystalBall1 : nullptr);
    place(mMenuButton, 604.0f, 10.0f, mApp ? &mApp->mMenu1 : nullptr);
    mHintButton->SetListener(this, true);
    mMenuButton->SetListener(this, true);
}

BoardContainer::~BoardContainer() = default;

void BoardContainer::Initialize() {
    if (mFreeForm)
        mBoard = new Board_FreeForm(this);
    else
        mBoard = new Board(this);
    mBoard->mLevelId = mLevelId;
    AddChild(mBoard);
    // The board is drawn over the buttons' faces but under the overlay; it is the last child.
}

void BoardContainer::Update() { mMeterBlink.Update(); }

void BoardContainer::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device || !mApp) return;
    device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    if (!mApp->mBackground.Empty()) mApp->mBackground.Draw(0.0f, 0.0f);
    bool blinking = mBoard && mBoard->mDangerLevel == 1.0f && mBoard->mMeterFull && !mMeterBlink.mState;
    const Sprite& frame = blinking ? mApp->mDangerMeter2 : mApp->mDangerMeter;
    if (!frame.Empty()) frame.Draw(615.0f, 90.0f);
    float level = mBoard ? std::clamp(mBoard->mDangerLevel, 0.0f, 1.0f) : 0.0f;
    // The mercury rises from the bottom of its tube.
    const Sprite& fill = mApp->mMercury;
    if (!fill.Empty() && level > 0.0f) fill.DrawPartialVertical(692.0f, 165.0f, -level * float(fill.Height()));
}

void BoardContainer::DrawOverlay() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device || !mSession || !mBoard) return;
    const Rect& b = mBoard->mRect;
    if (mApp && !mApp->mBoardFrame.Empty())
        mApp->mBoardFrame.DrawCentered(b.x + b.w * 0.5f, b.y + b.h * 0.5f);
    if (mApp) {
        const Font& font = mApp->mFont2;
        char text[32];
        std::snprintf(text, sizeof text, "%d", mSession->mScore);
        int width = 0, height = 0;
        font.TextSize(text, &width, &height);
        font.DrawText(text, b.x + (b.w - float(width)) * 0.5f, b.y - 20.0f - float(height) + 5.0f);
    }
    if (mBoard->mNoMoves) {
        device->SetColor(0.0f, 0.0f, 0.0f, std::min(1.0f, mBoard->mFade) * 0.75f);
        device->FillRect(0.0f, 0.0f, 800.0f, 600.0f);
        device->SetColor(1.0f, 1.0f, 1.0f, std::min(1.0f, mBoard->mFade));
        if (mApp) {
            const Sprite& wheel = mBoard->mWheelFace ? mApp->mSecondChanceWheel : mApp->mNoMovesLeft;
            wheel.DrawRotatedScaled(b.x + b.w * 0.5f, b.y + b.h * 0.5f, mBoard->mWheelAngle, 1.0f);
        }
        device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    }
}

void BoardContainer::Notify(intptr_t message) {
    if (!mBoard) return;
    if (message == reinterpret_cast<intptr_t>(mHintButton)) {
        // A keyboard slide under way is the player's move: it ends before the hint is judged.
        mBoard->FinishKeySlide();
        if (mBoard->CanMakeMove()) {
            mBoard->Hint();
            mBoard->AddToDangerMeter(0.5f);
        }
    } else if (message == reinterpret_cast<intptr_t>(mMenuButton)) {
        RunQuickMenu();
    }
}

void BoardContainer::KeyDown(int key) {
    if (!mBoard) return;
    switch (key) {
    case kKeyEscape:
    case kKeyPadStart:
        // Leaving from the menu saves the board: a keyboard slide must not be left half made.
        mBoard->FinishKeySlide();
        RunQuickMenu();
        return;
    case kKeyA + ('H' - 'A'):
    case kKeyPadY:
        if (mHintButton && mHintButton->IsLive()) mHintButton->PressByKey();
        return;
    default:
        mBoard->RouteKeyDown(key);
        return;
    }
}

void BoardContainer::RunQuickMenu() { QuickMenu::RunOver(mApp, this, mSession); }

void BoardContainer::LevelContinue() {
    if (mSession) mSession->LevelWon();
}

void BoardContainer::GameOver() {
    if (mSession) mSession->GameOver();
}

bool BoardContainer::IsHintMove() const { return mBoard && mBoard->mHintMove; }

// ---- saved form -----------------------------------------------------------------------------------

void BoardContainer::Serialize(DataBuffer& out) {
    out.WriteInt(mLevelId);
    out.WriteBool(mFreeForm);
    if (mBoard) mBoard->Serialize(out);
}

bool BoardContainer::Load(RecordReader& in, bool freeForm) {
    int levelId = in.Int("level id");
    bool isFreeForm = in.Bool("free-form board");
    if (!in.Ok()) return false;
    if (isFreeForm != freeForm || (freeForm && levelId != Board_FreeForm::kLevelId)) {
        in.Fail(freeForm ? "the Gauntlet's board is not its free-form board" : "a journey level holds a free-form board");
        return false;
    }
    mLevelId = levelId;
    mFreeForm = isFreeForm;
    mBoard = mFreeForm ? new Board_FreeForm(this) : new Board(this);
    mBoard->mLevelId = mLevelId;
    // A child from the start, so the screen owns it whether or not it loads.
    AddChild(mBoard);
    mInitialized = true;
    return mBoard->Load(in);
}
