// The scores screen: page turning and sliding, then the drawing of the three pages. The tables
// and the statistics are read from the application as each frame is drawn.
//
// Index: [places] [life] [turning] [drawing] [scores page] [idols page] [statistics page]
#include "game/screens/ScoresScreen.h"

#include <algorithm>
#include <cstdio>

#include "engine/controls/Button.h"
#include "engine/core/App.h"
#include "engine/core/Graphics.h"
#include "engine/draw/Font.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Sprite.h"
#include "game/GameApp.h"
#include "persistence/GameStatistics.h"
#include "persistence/HighScoreTable.h"
#include "platform/KeyCodes.h"
#include "support/DebugLog.h"

// ---- [places] ---------------------------------------------------------------------------------------

const ScoresScreen::IdolPlace ScoresScreen::kIdolPlaces[11] = {
    {"Graphics\\idols\\pell", "Pell", 202.0f, 319.0f},
    {"Graphics\\idols\\marlo", "Marlo", 385.0f, 307.0f},
    {"Graphics\\idols\\tuvo", "Tuvo", 91.0f, 211.0f},
    {"Graphics\\idols\\fennick", "Fennick", 542.0f, 202.0f},
    {"Graphics\\idols\\dullbone", "Dullbone", 26.0f, 85.0f},
    {"Graphics\\idols\\brizzle", "Brizzle", 191.0f, 93.0f},
    {"Graphics\\idols\\krell", "Krell", 430.0f, 78.0f},
    {"Graphics\\idols\\tesselin", "Tesselin", 602.0f, 75.0f},
    {"Graphics\\idols\\varno", "Varno", 109.0f, 69.0f},
    {"Graphics\\idols\\robot", "Robot", 524.0f, 32.0f},
    {"Graphics\\idols\\quorl", "Quorl", 252.0f, 0.0f},
};

namespace {

const char* const kPageNames[ScoresScreen::kPageCount] = {"Scores", "Idols", "Stats"};

std::string Number(int32_t value) { return std::to_string(value); }

// A name that fits `room` pixels; a longer one is cut and ends in "..." rather than running
// into its score.
std::string FitName(const Font& font, std::string name, float room) {
    if (float(font.TextWidth(name)) <= room) return name;
    while (!name.empty() && float(font.TextWidth(name + "...")) > room) name.pop_back();
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name + "...";
}

// Text centred on x, its top at y, drawn over a dark copy `shadow` pixels down and right.
void DrawShadowed(const Font& font, const std::string& text, float x, float y, float shadow, float alpha = 1.0f) {
    GraphicsDevice* device = GraphicsDevice::Current();
    float left = x - float(font.TextWidth(text)) / 2.0f;
    device->SetColor(0.0f, 0.0f, 0.0f, alpha);
    font.DrawText(text, left + shadow, y + shadow);
    device->SetColor(1.0f, 1.0f, 1.0f, alpha);
    font.DrawText(text, left, y);
}

}  // namespace

// ---- [life] -----------------------------------------------------------------------------------------

ScoresScreen::ScoresScreen(GameApp* app) : mApp(app) {
    mName = "ScoresScreen";
    SetRect(0.0f, 0.0f, 800.0f, 600.0f);
    mScoresPicture.Load("Graphics\\highscorescreen");
    mIdolsPicture.Load("Graphics\\idolscreen");
    mStatisticsPicture.Load("Graphics\\statscreen");
    mLeftArrowPicture.Load("Graphics\\bigarrow1");
    mRightArrowPicture.Load("Graphics\\bigarrow2");

    const Sprite& menu = mApp->Picture("Graphics\\mainmenubutton1");
    mMainMenuButton = new Button;
    mMainMenuButton->SetImages(&menu, &mApp->Picture("Graphics\\mainmenubutton2"),
                               &mApp->Picture("Graphics\\mainmenubutton3"));
    float menuWidth = menu.Empty() ? 240.0f : float(menu.Width());
    float menuHeight = menu.Empty() ? 56.0f : float(menu.Height());
    mMainMenuButton->SetRect(400.0f - menuWidth / 2.0f, 525.0f, menuWidth, menuHeight);
    mMainMenuButton->SetPressSound(&mApp->mPop2);
    mMainMenuButton->SetListener(this, true);

    const Sprite& left = mLeftArrowPicture;
    const Sprite& right = mRightArrowPicture;
    mLeftArrow = new Button;
    mLeftArrow->SetImages(&left);
    mLeftArrow->SetRect(50.0f, 520.0f, left.Empty() ? 209.0f : float(left.Width()), left.Empty() ? 60.0f : float(left.Height()));
    mRightArrow = new Button;
    mRightArrow->SetImages(&right);
    mRightArrow->SetRect(541.0f, 520.0f, right.Empty() ? 209.0f : float(right.Width()),
                         right.Empty() ? 60.0f : float(right.Height()));
    for (Button* arrow : {mLeftArrow, mRightArrow}) {
        arrow->SetPressSound(&mApp->mPop2);
        arrow->SetListener(this, true);
    }

    // Page 0, nothing sliding; the labels as for any page.
    SetPage(kScoresPage, 1);
    mPreviousPage = -1;
    mSlideOffset = 0.0f;
    mRemaining = 0.0f;
}

ScoresScreen::~ScoresScreen() = default;

void ScoresScreen::Initialize() { TakeKeyboardFocus(); }

// ---- [turning] --------------------------------------------------------------------------------------

void ScoresScreen::SetPage(int page, int direction) {
    page %= kPageCount;
    if (page < 0) page += kPageCount;
    mPreviousPage = mCurrentPage;
    mCurrentPage = page;
    mSlideOffset = 0.0f;
    bool software = mApp->mGraphics && mApp->mGraphics->mSoftware;
    mRemaining = software ? 0.0f : (direction < 0 ? -800.0f : 800.0f);
    // Each arrow is labelled with the page it leads to.
    mLeftLabel = kPageNames[(page + kPageCount - 1) % kPageCount];
    mRightLabel = kPageNames[(page + 1) % kPageCount];
    // The software renderer shows the new page at once: nothing is left of the old one.
    if (mRemaining == 0.0f) {
        mPreviousPage = -1;
        LogPageAtRest();
    }
}

void ScoresScreen::Turn(int direction) { SetPage(mCurrentPage + direction, direction); }

void ScoresScreen::Notify(intptr_t message) {
    if (message == reinterpret_cast<intptr_t>(mLeftArrow))
        Turn(-1);
    else if (message == reinterpret_cast<intptr_t>(mRightArrow))
        Turn(1);
    else if (message == reinterpret_cast<intptr_t>(mMainMenuButton))
        BackToMainMenu();
}

void ScoresScreen::KeyDown(int key) {
    switch (key) {
        case kKeyLeft:
            mApp->mPop2.Play();
            Turn(-1);
            break;
        case kKeyRight:
            mApp->mPop2.Play();
            Turn(1);
            break;
        case kKeyEscape:
        case kKeyEnter:
            BackToMainMenu();
            break;
        default: break;
    }
}

void ScoresScreen::BackToMainMenu() {
    // One fade: further clicks land on the fader.
    if (!mApp->mTransitionRunning) mApp->GoToMainMenu();
}

void ScoresScreen::Update() {
    for (int i = 0; i < kSlideStep && mRemaining != 0.0f; ++i) {
        float step = mRemaining > 0.0f ? 1.0f : -1.0f;
        mRemaining -= step;
        mSlideOffset -= step;
    }
    if (mRemaining == 0.0f && mPreviousPage >= 0) {
        mPreviousPage = -1;
        LogPageAtRest();
    }
}

void ScoresScreen::LogPageAtRest() const {
    // Scripted tests wait for this line before they look at the page.
    DebugLog::Log("page %s", kPageNames[mCurrentPage]);
}

// ---- [drawing] --------------------------------------------------------------------------------------

void ScoresScreen::Draw() {
    // The new page comes in from the side it was turned to while the old one leaves.
    DrawPage(mCurrentPage, mRemaining);
    if (mPreviousPage >= 0) DrawPage(mPreviousPage, mSlideOffset);
}

void ScoresScreen::DrawPage(int page, float offset) {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device || offset <= -800.0f || offset >= 800.0f) return;
    device->PushOrigin();
    device->mOrigin.x += offset;
    switch (page) {
        case kScoresPage: DrawScores(); break;
        case kIdolsPage: DrawIdols(); break;
        case kStatisticsPage: DrawStatistics(); break;
        default: break;
    }
    device->PopOrigin();
    device->ResetColor();
}

void ScoresScreen::DrawOverlay() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    // Each label fills a box 34 pixels high whose top is 17 above the arrow's centre: the text
    // sits in the middle of the shaft.
    const Font& font = mApp->mFont2;
    for (Button* arrow : {mLeftArrow, mRightArrow}) {
        // A lit arrow under the mouse, pressed one pixel down.
        if (arrow->mHover && arrow->mImages[0]) {
            device->SetBlend(GraphicsDevice::Blend::kAdditive);
            device->SetColor(1.0f, 1.0f, 1.0f, arrow->mDown ? 0.15f : 0.3f);
            arrow->mImages[0]->Draw(arrow->mRect.x, arrow->mRect.y);
            device->SetBlend(GraphicsDevice::Blend::kNormal);
        }
        const std::string& label = arrow == mLeftArrow ? mLeftLabel : mRightLabel;
        float centerX = arrow->mRect.x + arrow->mRect.w / 2.0f;
        float centerY = arrow->mRect.y + arrow->mRect.h / 2.0f;
        float top = centerY - 17.0f + (34.0f - font.mLineHeight) / 2.0f + (arrow->mDown ? 1.0f : 0.0f);
        DrawShadowed(font, label, centerX, top, 2.0f);
    }
    device->ResetColor();
}

// ---- [scores page] ----------------------------------------------------------------------------------

void ScoresScreen::DrawScores() {
    GraphicsDevice* device = GraphicsDevice::Current();
    mScoresPicture.Draw(0.0f, 0.0f);
    const Font& font = mApp->mFont3;
    struct Column {
        const HighScoreTable* table;
        float nameX, scoreRight;
    };
    const Column columns[2] = {{&mApp->mJourneyScores, 75.0f, 375.0f}, {&mApp->mGauntletScores, 425.0f, 725.0f}};
    for (int row = 0; row < HighScoreTable::kRowCount; ++row) {
        float y = 250.0f + 22.0f * float(row);
        const float* color = mRowColors[row % 2];
        device->SetColor(color[0], color[1], color[2], color[3]);
        for (const Column& column : columns) {
            std::string score = Number(column.table->GetScore(row));
            float scoreLeft = column.scoreRight - float(font.TextWidth(score));
            font.DrawText(score, scoreLeft, y);
            font.DrawText(FitName(font, column.table->GetName(row), scoreLeft - 12.0f - column.nameX), column.nameX, y);
        }
    }
}

// ---- [idols page] -----------------------------------------------------------------------------------

void ScoresScreen::DrawIdols() {
    GraphicsDevice* device = GraphicsDevice::Current();
    mIdolsPicture.Draw(0.0f, 0.0f);
    const GameStatistics& statistics = mApp->mStatistics;
    bool any = false;
    for (int i = 0; i < GameStatistics::kIdolCount; ++i) any = any || statistics.mIdolCounts[i] > 0;
    if (!any) {
        const Font& font = mApp->mFont2;
        float half = font.mLineHeight / 2.0f;
        DrawShadowed(font, "FIND IDOLS BY COMPLETING", 400.0f, 300.0f - half, 4.0f);
        DrawShadowed(font, "QUORL JOURNEYS!", 400.0f, 330.0f - half, 4.0f);
        device->ResetColor();
        return;
    }
    // Back to front: the glow behind every found idol, then the idols from the last to the first,
    // so the lower ones stand in front.
    const Sprite& glow = mApp->Picture("Graphics\\idolglow");
    for (int i = GameStatistics::kIdolCount - 1; i >= 0; --i) {
        if (statistics.mIdolCounts[i] <= 0) continue;
        const Sprite& idol = mApp->Picture(kIdolPlaces[i].mPicture);
        device->SetColor(1.0f, 1.0f, 1.0f, 0.6f);
        glow.DrawRotatedScaled(kIdolPlaces[i].mX + float(idol.Width()) / 2.0f,
                               kIdolPlaces[i].mY + float(idol.Height()) * 0.4f, 0.0f, 0.8f);
    }
    device->ResetColor();
    for (int i = GameStatistics::kIdolCount - 1; i >= 0; --i) {
        int draws = std::min(statistics.mIdolCounts[i], kMostIdolDraws);
        const Sprite& idol = mApp->Picture(kIdolPlaces[i].mPicture);
        for (int n = 0; n < draws; ++n) idol.Draw(kIdolPlaces[i].mX, kIdolPlaces[i].mY);
    }
    // Names and counts on the pedestals, above every picture.
    const Font& font = mApp->mFont3;
    for (int i = GameStatistics::kIdolCount - 1; i >= 0; --i) {
        int32_t count = statistics.mIdolCounts[i];
        if (count <= 0) continue;
        const Sprite& idol = mApp->Picture(kIdolPlaces[i].mPicture);
        std::string label = kIdolPlaces[i].mName;
        if (count > 1) label += " x" + Number(count);
        float w = idol.Empty() ? 150.0f : float(idol.Width()), h = idol.Empty() ? 200.0f : float(idol.Height());
        DrawShadowed(font, label, kIdolPlaces[i].mX + w / 2.0f, kIdolPlaces[i].mY + h - font.mLineHeight - 4.0f, 2.0f);
    }
    device->ResetColor();
}

// ---- [statistics page] ------------------------------------------------------------------------------

std::vector<ScoresScreen::StatisticsRow> ScoresScreen::StatisticsRows(const GameStatistics& s) {
    auto orNone = [](int32_t value, int32_t none, const std::string& text) { return value == none ? std::string("N/A") : text; };
    std::string fastest = "N/A";
    if (s.mFastestJourney != 0) {
        int64_t seconds = int64_t(s.mFastestJourney) / 100;
        char text[48];
        std::snprintf(text, sizeof text, "%lld:%.2lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
        fastest = text;
    }
    return {
        {200.0f, "Journey Games Completed:", Number(s.mJourneysCompleted)},
        {220.0f, "Fewest Moves in One Journey:", orNone(s.mFewestMoves, 0, Number(s.mFewestMoves))},
        {240.0f, "Best Quorl Ratio (Small Board):", orNone(s.mBestRatioSmall, 0, Number(s.mBestRatioSmall) + ":1")},
        {260.0f, "Best Quorl Ratio (Large Board):", orNone(s.mBestRatioLarge, 0, Number(s.mBestRatioLarge) + ":1")},
        {280.0f, "Fastest Journey:", fastest},
        {300.0f, "Fewest Lost Levels in one Journey:", orNone(s.mFewestLostLevels, -1, Number(s.mFewestLostLevels))},
        {320.0f, "Most Journey Levels Won before Losing:",
         orNone(s.mMostLevelsWonBeforeLosing, -1, Number(s.mMostLevelsWonBeforeLosing))},
        {350.0f, "Gauntlet Games Completed:", Number(s.mGauntletsCompleted)},
        {370.0f, "Most Gold Grabbed in a Gauntlet:", Number(s.mMostGold)},
        {400.0f, "Total Quorls Transported:", Number(s.mQuorlsTransported)},
        {420.0f, "Total Dullbones Broken:", Number(s.mDullbonesBroken)},
        {440.0f, "Most Quorls Transported in one Move:", Number(s.mMostQuorlsInOneMove)},
        {460.0f, "Longest Quorl Cascade:", Number(s.mLongestCascade) + "x"},
    };
}

void ScoresScreen::DrawStatistics() {
    GraphicsDevice* device = GraphicsDevice::Current();
    mStatisticsPicture.Draw(0.0f, 0.0f);
    const Font& font = mApp->mFont3;
    for (const StatisticsRow& row : StatisticsRows(mApp->mStatistics)) {
        device->SetColor(0.85f, 0.82f, 1.0f, 1.0f);
        font.DrawText(row.mLabel, 550.0f - float(font.TextWidth(row.mLabel)), row.mY);
        device->SetColor(1.0f, 1.0f, 0.5f, 1.0f);
        font.DrawText(row.mValue, 575.0f, row.mY);
    }
    device->ResetColor();
}
