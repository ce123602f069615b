// The game's application object: loads every font, picture and sound on the loader thread,
// holds what all screens share (mode, statistics, score tables, profiles, the game in progress)
// and switches screens, always through a ScreenFader.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "board/QuorlObject.h"
#include "engine/audio/Sound.h"
#include "engine/core/App.h"
#include "engine/draw/Font.h"
#include "engine/draw/Sprite.h"
#include "persistence/GameStatistics.h"
#include "persistence/HighScoreTable.h"
#include "persistence/ProfileManager.h"

class Gadget;
class GameSession;
class MainMenu;
class SoakDriver;
class TitleScreen;

class GameApp : public App {
public:
    static constexpr int kLoadingSteps = 138;
    enum Mode { kJourney = 0, kGauntlet = 1 };

    GameApp();
    ~GameApp() override;

    // Logical screen, score tables, the engine start-up, profiles, fonts 1 to 3.
    void Go() override;
    // Every picture, sound and the large font, counting kLoadingSteps steps.
    void LoadResources() override;
    // Logs how long loading took, lets the player choose a profile, loads its statistics; the
    // developer switches start play at once.
    void LoadingDone() override;
    // After every update step (modal loops included): the soak run's driver, when there is one.
    void PostUpdate() override;
    // The text of the function the game was in, for crash reports.
    std::string GetExtraInfo() override { return mCurrentFunction; }
    // The game's own message box ("OK", or "YESNO" in any case): true for OK and YES, false for
    // NO. Before the pictures are loaded, or off the main thread, the desktop's box is shown.
    bool MessageBox(const std::string& title, const std::string& text, const std::string& buttons) override;

    // The loading steps, run on the calling thread (tools and tests load this way).
    void LoadResourcesNow() { LoadResources(); }
    // A picture loaded by LoadResources by its game name ("Graphics\\idols\\pell"); an empty
    // sprite when it was not loaded.
    const Sprite& Picture(const std::string& name) const;

    // The current profile's record; SaveStatistics writes only a record that was loaded for a
    // profile, so an unloaded record never overwrites a player's file.
    bool LoadStatistics();
    bool SaveStatistics();
    // Both score tables: ten default rows, then the stored files.
    void LoadScoreTables();
    // Runs the profile screen modally: on a first run only when no profile exists yet (the player
    // must make one), otherwise the full list. 1 when a profile was chosen or made.
    virtual int ShowProfiles(bool firstRun);
    // Kills the title screen, the game in progress, the main menu and the scores screen.
    void ClearScreens();
    // Starts the developer's chosen play (mStartPlay) as the current session; returns it.
    GameSession* StartPlay();

    // The seed of the next journey map: with a seed given on the command line the first map
    // uses that seed and each later one the next number; otherwise the clock.
    uint32_t NextMapSeed();
    void SetMapSeed(uint32_t seed) {
        mMapSeedGiven = true;
        mMapSeed = seed;
    }
    // The picture name of an idol (0 to 10).
    static const char* IdolPictureName(int idol);

    // ---- Screens --------------------------------------------------------------------------------
    // Starts a ScreenFader to a destination (ScreenDestination, 0 to 7), showing the dark piece
    // when asked (a game that ends without a new high score).
    void GoTo(int destination, bool darkPiece = false);
    void GoToMainMenu();
    void GoToNewJourney();
    void GoToNewGauntlet();
    void GoToScores();
    // Remembers the saved game and fades to it.
    void GoToResume(const std::string& path);
    // Builds the destination's screen (the fader calls it when the screen is covered) and logs
    // "screen N name".
    void SwitchScreen(int destination);
    // Checks the whole saved game at `path` first; only a sound one clears the screens and becomes
    // the current session. A damaged one is moved aside to "<name>.damaged", the player is told,
    // and the screens stay as they are. False when nothing was resumed.
    virtual bool ResumeSession(const std::string& path);
    // Makes the scores screen and hands it to the top gadget manager; null when there is none.
    virtual Gadget* CreateScoresScreen();
    // Switches between full screen and a window at once and remembers it in "game.cfg"; false
    // when the window refused.
    bool SetFullscreen(bool fullscreen);
    bool IsFullscreen() const;
    bool IsSoftwareRenderer() const;
    // Whether the renderer may be changed from the options: not while a command-line switch
    // decides it.
    bool CanChangeRenderer() const;
    // Remembers the renderer (and the 800 by 600 window) in "game.cfg" and restarts the game.
    void ChangeRenderer(bool software);
    // True on the thread that made the application (where modal screens may run).
    bool OnMainThread() const { return std::this_thread::get_id() == mMainThread; }

    // ---- Saved games and progress (GameAppSaves.cpp) --------------------------------------------
    // Reads and checks the whole saved game at `path` without changing anything; a damaged one is
    // refused at once (moved aside, the player told) and false returned.
    bool CheckSavedGame(const std::string& path);
    // Logs why a saved game was refused, moves it aside to "<name>.damaged" and tells the player.
    void RefuseSavedGame(const std::string& path, const std::string& problem);
    // Writes the session's saved game into the profile folder, or removes it once the game is
    // finished. A file that cannot be written leaves the previous one and is reported (once).
    bool SaveSession(GameSession& session);
    // Writes the statistics record and both score tables now (their contents changed: a level
    // ended, a game ended, a name was entered), so a crash loses at most the level being played.
    // A failure is reported once; the game goes on. False when something could not be written.
    bool SaveProgressNow();
    // Tells the player once that the file at `gamePath` could not be written, naming its folder
    // (the previous file is kept); quiet again after the next write that succeeds.
    void ReportWriteFailure(const std::string& gamePath);
    // The message shown for a folder that cannot be written.
    static std::string WriteFailureMessage(const std::string& folder);

    // ---- Loading progress (written by the loader, read by the title screen) ---------------------
    std::atomic<int> mLoadingStep{0};
    std::atomic<int> mLoadingTotal{kLoadingSteps};

    // ---- Fonts ----------------------------------------------------------------------------------
    Font mFont1, mFont2, mFont3;
    Font mFont4;  // "fonts\\font4": floating score texts

    // ---- Pieces ---------------------------------------------------------------------------------
    Sprite mQuorls[QuorlImageSet::kColors][2];
    Sprite mLargeQuorls[QuorlImageSet::kColors][2];
    Sprite mCracks[2], mLargeCracks[2];
    Sprite mSmallTiles[8];  // 64 by 64, made from each colour's first frame
    QuorlImageSet mQuorlImages;  // points into the sprites above

    // ---- Board and level screen -----------------------------------------------------------------
    Sprite mPop, mCircle, mStar, mInnerRim, mOuterRim, mEdgeRim, mGoldBrick;
    Sprite mBackground, mDangerMeter, mDangerMeter2, mMercury;
    Sprite mCrystalBall1, mCrystalBall2, mMenu1, mMenu2, mMenu3, mScoreBox, mBoardFrame;
    Sprite mNoMovesLeft, mSecondChanceWheel, mPuzzleBox, mLevelCleared, mStatBox, mRobot;
    Sprite mSpark;  // 5 by 5 white: sparks of breaking dullbones
    Sprite mSkyUpper, mSkyLower;  // the journey's sky, painted at loading

    // ---- Sounds ---------------------------------------------------------------------------------
    Sound mExplode, mShake, mGold, mCrack, mShatter, mDiedSong, mDrag, mSnap, mMusic, mDanger;
    Sound mFanfare, mFanfare2, mPoemSong, mWonTheme, mQuorlSound, mQuorlSoundSkull, mPop2, mZing;
    Sound mGetBonus, mSpin, mCrystalBall, mCrystalBallOver;

    // ---- Shared state ---------------------------------------------------------------------------
    std::string mCurrentFunction;
    bool mTransitionRunning = false;
    int mMode = kJourney;
    HighScoreTable mJourneyScores;
    HighScoreTable mGauntletScores;
    GameStatistics mStatistics;
    ProfileManager mProfiles;
    // The current screens, owned by the top gadget manager; null when absent.
    GameSession* mSession = nullptr;
    MainMenu* mMainMenu = nullptr;
    Gadget* mScoresScreen = nullptr;
    TitleScreen* mTitleScreen = nullptr;
    // The saved game destination 6 resumes.
    std::string mResumePath;
    // When the loader started (application clock), for the log line at its end.
    uint32_t mLoadingStartTime = 0;

    // A write failure has been reported and nothing has been written since.
    bool mWriteFailureReported = false;

    // Developer start: straight into play after loading (0 none, 1 Gauntlet, 2 a journey level,
    // 3 a journey).
    int mStartPlay = 0;
    int mStartLevel = 0;
    // This application replaces one that restarted itself: play goes on at the main menu.
    bool mAfterRestart = false;
    // Developer switch for scripted play: the debug log says where a player could click next (a
    // matching move on a board at rest, the playable nodes of the map, the continue button).
    bool mLogTargets = false;
    // The developer's soak run (--soak) plays the game by itself; not owned.
    SoakDriver* mSoak = nullptr;

private:
    bool mMapSeedGiven = false;
    uint32_t mMapSeed = 0;

    // Loads one picture into `sprite` (and the name table); false when it failed.
    bool LoadPicture(Sprite& sprite, const std::string& name);
    // One loading step done; false when the application is quitting.
    bool Step();
    // Loads a picture into its field, or into mPictures when it has none.
    bool LoadNamed(const std::string& name);

    std::thread::id mMainThread;
    mutable std::mutex mPictureLock;  // the loader adds pictures while screens may look them up

    // Pictures without a field of their own, by lower-case name.
    std::map<std::string, std::unique_ptr<Sprite>> mPictures;
    // Every loaded picture by lower-case name, fields included.
    std::map<std::string, const Sprite*> mPictureIndex;
};
