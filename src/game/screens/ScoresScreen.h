// The scores screen: three pages turned with two big arrows, sliding sideways as they turn: both
// high-score tables side by side, the idols the current profile found, and its statistics.
#pragma once

#include <string>
#include <vector>

#include "engine/core/Gadget.h"
#include "engine/draw/Sprite.h"

class Button;
class GameApp;
class GameStatistics;

class ScoresScreen : public Gadget {
public:
    enum Page { kScoresPage = 0, kIdolsPage = 1, kStatisticsPage = 2, kPageCount = 3 };
    // Pixels a turning page moves per update.
    static constexpr int kSlideStep = 10;
    // A corrupt record could ask for billions of copies of one idol; past a few more draws on the
    // same spot change nothing.
    static constexpr int kMostIdolDraws = 4;

    struct IdolPlace {
        const char* mPicture;
        const char* mName;
        float mX, mY;  // top-left corner of the picture
    };
    static const IdolPlace kIdolPlaces[11];

    // One line of the statistics page.
    struct StatisticsRow {
        float mY;
        std::string mLabel;
        std::string mValue;
    };
    // The thirteen lines for a record, "N/A" where a field is still empty.
    static std::vector<StatisticsRow> StatisticsRows(const GameStatistics& statistics);

    explicit ScoresScreen(GameApp* app);
    ~ScoresScreen() override;

    // Turns to `page` (taken modulo 3), sliding in from the right (+1) or the left (-1); no slide
    // in the software renderer.
    void SetPage(int page, int direction);
    int CurrentPage() const { return mCurrentPage; }
    int PreviousPage() const { return mPreviousPage; }
    float RemainingSlide() const { return mRemaining; }
    const std::string& LeftLabel() const { return mLeftLabel; }
    const std::string& RightLabel() const { return mRightLabel; }
    Button* LeftArrow() const { return mLeftArrow; }
    Button* RightArrow() const { return mRightArrow; }
    Button* MainMenuButton() const { return mMainMenuButton; }

    void Initialize() override;
    void Update() override;
    void Draw() override;
    void DrawOverlay() override;
    void Notify(intptr_t message) override;
    void KeyDown(int key) override;

private:
    void DrawPage(int page, float offset);
    void DrawScores();
    void DrawIdols();
    void DrawStatistics();
    void Turn(int direction);
    // "page NAME" in the debug log once a turned page stands still.
    void LogPageAtRest() const;
    void BackToMainMenu();

    GameApp* mApp;
    // The pages and the arrows are this screen's own; they are loaded as it opens.
    Sprite mScoresPicture, mIdolsPicture, mStatisticsPicture;
    Sprite mLeftArrowPicture, mRightArrowPicture;
    Button* mMainMenuButton = nullptr;
    Button* mLeftArrow = nullptr;
    Button* mRightArrow = nullptr;
    int mCurrentPage = kScoresPage;
    int mPreviousPage = -1;
    float mSlideOffset = 0.0f;
    float mRemaining = 0.0f;
    std::string mLeftLabel;
    std::string mRightLabel;
    float mRowColors[2][4] = {{1.0f, 0.5f, 0.5f, 1.0f}, {1.0f, 1.0f, 0.5f, 1.0f}};
};
