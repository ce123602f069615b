// The game's application object: start-up (score tables, profiles, fonts, the title screen), the
// loading steps run on the loader thread, the screen switches at the middle of each fade, the
// game's own message box and display options, and the orderly shutdown that writes profiles,
// scores and statistics.
//
// Index: [life] [start-up] [loading] [play] [screens] [dialogs and display] [statistics]
#include "game/GameApp.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "engine/core/Graphics.h"
#include "engine/core/Version.h"
#include "engine/draw/DisplaySettings.h"
#include "engine/draw/Image.h"
#include "board/BoardRandom.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "game/journey/Starfield.h"
#include "game/screens/ProfileScreen.h"
#include "game/screens/ScoresScreen.h"
#include "game/ScreenFader.h"
#include "game/SoakDriver.h"
#include "game/journey/Maze.h"
#include "game/rules/BoardContainer.h"
#include "game/screens/MainMenu.h"
#include "game/screens/MessageBox.h"
#include "game/screens/TitleScreen.h"
#include "persistence/GameFiles.h"
#include "persistence/Registry.h"
#include "support/DebugLog.h"

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Format(const char* pattern, int a, int b = 0) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

// Pictures with a field of their own (the board and the level screen draw them every frame).
struct PictureField {
    const char* mName;
    Sprite GameApp::*mField;
};

const PictureField kPictureFields[] = {
    {"Graphics\\qlpop", &GameApp::mPop},
    {"Graphics\\circle", &GameApp::mCircle},
    {"Graphics\\star", &GameApp::mStar},
    {"Graphics\\innerrim", &GameApp::mInnerRim},
    {"Graphics\\outerrim", &GameApp::mOuterRim},
    {"Graphics\\edgerim", &GameApp::mEdgeRim},
    {"Graphics\\goldbrick", &GameApp::mGoldBrick},
    {"Graphics\\background", &GameApp::mBackground},
    {"Graphics\\dangermeter", &GameApp::mDangerMeter},
    {"Graphics\\dangermeter2", &GameApp::mDangerMeter2},
    {"Graphics\\mercury", &GameApp::mMercury},
    {"Graphics\\crystalball1", &GameApp::mCrystalBall1},
    {"Graphics\\crystalball2", &GameApp::mCrystalBall2},
    {"Graphics\\menu1", &GameApp::mMenu1},
    {"Graphics\\menu2", &GameApp::mMenu2},
    {"Graphics\\menu3", &GameApp::mMenu3},
    {"Graphics\\scorebox", &GameApp::mScoreBox},
    {"Graphics\\boardframe", &GameApp::mBoardFrame},
    {"Graphics\\nomovesleft", &GameApp::mNoMovesLeft},
    {"Graphics\\ASECONDCHANCE", &GameApp::mSecondChanceWheel},
    {"Graphics\\puzzlebox", &GameApp::mPuzzleBox},
    {"Graphics\\levelcleared", &GameApp::mLevelCleared},
    {"Graphics\\statbox", &GameApp::mStatBox},
    {"Graphics\\robot", &GameApp::mRobot},
};

// Loading step 3 (before the large font).
const char* const kEffectPictures[] = {
    "Graphics\\qlpop", "Graphics\\circle", "Graphics\\star", "Graphics\\innerrim", "Graphics\\outerrim",
    "Graphics\\goldbrick",
};

// Loading step 4: one step for the whole group. The board frame and the edge rim belong to the
// level screen too and ride along.
const char* const kScreenGroup[] = {
    "Graphics\\background", "Graphics\\dangermeter", "Graphics\\dangermeter2", "Graphics\\mercury",
    "Graphics\\crystalball1", "Graphics\\crystalball2", "Graphics\\menu1", "Graphics\\menu2",
    "Graphics\\menu3", "Graphics\\scorebox", "Graphics\\boardframe", "Graphics\\edgerim",
};

// Loading step 5.
const char* const kPanelPictures[] = {
    "Graphics\\nomovesleft", "Graphics\\ASECONDCHANCE", "Graphics\\puzzlebox", "Graphics\\startjourneyhelper",
    "Graphics\\pickjourney", "Graphics\\levelcleared", "Graphics\\statbox", "Graphics\\levelclearedsmall",
    "Graphics\\journeytopborder", "Graphics\\journeybottomborder", "Graphics\\quickmenu",
    "Graphics\\quickmenuhilite", "Graphics\\quickmenudown", "Graphics\\gamemenu", "Graphics\\gamemenuhilite",
    "Graphics\\gamemenudown", "Graphics\\optionsmenu", "Graphics\\donehilite", "Graphics\\donedown",
};

// Loading step 7.
const char* const kControlPictures[] = {
    "Graphics\\ScrollUp1", "Graphics\\ScrollUp2", "Graphics\\ScrollUp3", "Graphics\\ScrollDown1",
    "Graphics\\ScrollDown2", "Graphics\\ScrollDown3", "Graphics\\PAUSEGAME", "Graphics\\robot",
    "Graphics\\idolglow", "Graphics\\2x", "Graphics\\3x", "Graphics\\50k", "Graphics\\100k",
    "Graphics\\secondchance", "Graphics\\bonushilite", "Graphics\\usedbonus", "Graphics\\usedbonus_2x",
    "Graphics\\usedbonus_3x", "Graphics\\usedbonus_50k", "Graphics\\usedbonus_100k",
    "Graphics\\usedbonus_secondchance", "Graphics\\INFOBOX", "Graphics\\OK1", "Graphics\\OK2", "Graphics\\OK3",
    "Graphics\\YES1", "Graphics\\YES2", "Graphics\\YES3", "Graphics\\NO1", "Graphics\\NO2", "Graphics\\NO3",
    "Graphics\\mainmenubutton1", "Graphics\\mainmenubutton2", "Graphics\\mainmenubutton3",
};

// Loading step 8, in the order of the idol table.
const char* const kIdolPictures[] = {
    "Graphics\\idols\\pell", "Graphics\\idols\\marlo", "Graphics\\idols\\tuvo", "Graphics\\idols\\fennick",
    "Graphics\\idols\\dullbone", "Graphics\\idols\\brizzle", "Graphics\\idols\\krell",
    "Graphics\\idols\\tesselin", "Graphics\\idols\\varno", "Graphics\\idols\\robot", "Graphics\\idols\\quorl",
};

// Loading step 9.
const char* const kProfilePictures[] = {
    "Graphics\\currentuser", "Graphics\\changeuser", "Graphics\\userscreen", "Graphics\\createuser1",
    "Graphics\\createuser2", "Graphics\\createuser3", "Graphics\\Deleteuser1", "Graphics\\Deleteuser2",
    "Graphics\\Deleteuser3", "Graphics\\Selectuser1", "Graphics\\Selectuser2", "Graphics\\Selectuser3",
    "Graphics\\Cancel1", "Graphics\\Cancel2", "Graphics\\Cancel3", "Graphics\\newuser",
};

// Loading step 10: the journey map's own pictures ride along with its sky.
const char* const kMapPictures[] = {
    "Graphics\\journey\\arrowup",       "Graphics\\journey\\arrowdown",       "Graphics\\journey\\arrowleft",
    "Graphics\\journey\\arrowright",    "Graphics\\journey\\longarrowup",     "Graphics\\journey\\longarrowdown",
    "Graphics\\journey\\longarrowleft", "Graphics\\journey\\longarrowright",
};

// Loading step 11. Short effects that can follow each other closely get several channels so
// that a new one does not cut the last one off.
struct SoundField {
    const char* mName;
    Sound GameApp::*mField;
    int mChannels;
};

const SoundField kSounds[] = {
    {"SoundEffects\\explode", &GameApp::mExplode, 4},
    {"SoundEffects\\shake", &GameApp::mShake, 2},
    {"SoundEffects\\gold", &GameApp::mGold, 4},
    {"SoundEffects\\crack", &GameApp::mCrack, 4},
    {"SoundEffects\\shatter", &GameApp::mShatter, 4},
    {"SoundEffects\\DiedSong", &GameApp::mDiedSong, 1},
    {"SoundEffects\\Drag", &GameApp::mDrag, 1},
    {"SoundEffects\\Snap", &GameApp::mSnap, 2},
    {"SoundEffects\\Music", &GameApp::mMusic, 1},
    {"SoundEffects\\Danger", &GameApp::mDanger, 1},
    {"SoundEffects\\fanfare", &GameApp::mFanfare, 1},
    {"SoundEffects\\fanfare2", &GameApp::mFanfare2, 1},
    {"SoundEffects\\poemsong", &GameApp::mPoemSong, 1},
    {"SoundEffects\\wontheme", &GameApp::mWonTheme, 1},
    {"SoundEffects\\quorlsound", &GameApp::mQuorlSound, 2},
    {"SoundEffects\\quorlsoundskull", &GameApp::mQuorlSoundSkull, 2},
    {"SoundEffects\\pop", &GameApp::mPop2, 4},
    {"SoundEffects\\zing", &GameApp::mZing, 2},
    {"SoundEffects\\GetBonus", &GameApp::mGetBonus, 1},
    {"SoundEffects\\Spin", &GameApp::mSpin, 1},
    {"SoundEffects\\crystalball", &GameApp::mCrystalBall, 1},
    {"SoundEffects\\crystalballover", &GameApp::mCrystalBallOver, 1},
};

}  // namespace

// ---- [life] ---------------------------------------------------------------------------------------

GameApp::GameApp() : mMainThread(std::this_thread::get_id()) {
    SetName(kGameTitle);
    SetTitle(kGameTitle);
    SetVersion(kGameVersion);
    // The decoded sounds are cached between runs.
    mCheckCacheVersion = true;
    mProfiles.AttachStatistics(&mStatistics);

    // The pieces' picture set points at fields that live as long as the application, so it is
    // valid (if empty) before, during and after loading.
    for (int c = 0; c < QuorlImageSet::kColors; ++c) {
        for (int f = 0; f < 2; ++f) {
            mQuorlImages.mFrames[c][f] = &mQuorls[c][f];
            mQuorlImages.mLargeFrames[c][f] = &mLargeQuorls[c][f];
        }
    }
    for (int i = 0; i < 2; ++i) {
        mQuorlImages.mCracks[i] = &mCracks[i];
        mQuorlImages.mLargeCracks[i] = &mLargeCracks[i];
    }
    mQuorlImages.mPuff = &mPop;
    mQuorlImages.mDust = &mCircle;
    mQuorlImages.mCrackSound = &mCrack;
    mQuorlImages.mShatterSound = &mShatter;
}

GameApp::~GameApp() {
    // The loader writes into this object: it stops after its current step and is waited for.
    mQuit = true;
    WaitForLoader();
    mProfiles.Shutdown();
    // Killing the game in progress writes its saved game; the screens are then destroyed while
    // the pictures, sounds and fonts they use still exist.
    ClearScreens();
    mGadgets.DeleteAll();
    mObjects.DeleteAll();
    // The score tables, then the statistics; a folder that cannot be written is reported once.
    SaveProgressNow();
}

void GameApp::ClearScreens() {
    // Killing the session writes (or removes) its saved game.
    Gadget* screens[] = {mTitleScreen, mSession, mMainMenu, mScoresScreen};
    for (Gadget* screen : screens)
        if (screen) screen->Kill();
    mTitleScreen = nullptr;
    mSession = nullptr;
    mMainMenu = nullptr;
    mScoresScreen = nullptr;
}

// ---- [start-up] ---------------------------------------------------------------------------------

void GameApp::Go() {
    App::Go();
    // Another copy of the game owns the data folder (or nothing could start): its score tables,
    // profiles and statistics are not touched, so this copy's shutdown writes nothing either.
    if (mQuit) return;
    // A data folder that cannot be written at all was reported at start; the failed writes
    // that follow need no second message.
    if (!mDataFolderProblem.empty()) mWriteFailureReported = true;
    if (mGraphics) mGraphics->SetLogicalSize(800, 600);
    LoadScoreTables();
    mProfiles.Load(mConfigPath.empty() ? std::string(GameFiles::kConfigFile) : mConfigPath);
    mFont1.Load("Fonts\\font1");
    mFont2.Load("Fonts\\font2");
    mFont3.Load("Fonts\\font3");
    // The title screen shows the loading bar; Run then starts the loader thread.
    mTitleScreen = new TitleScreen(this);
    {
        std::lock_guard<std::recursive_mutex> lock(mDrawLock);
        mGadgets.Add(mTitleScreen);
    }
    mLoadingStartTime = Milliseconds();
}

void GameApp::LoadScoreTables() {
    for (auto [table, file] : {std::pair{&mJourneyScores, GameFiles::kJourneyScoresFile},
                               std::pair{&mGauntletScores, GameFiles::kGauntletScoresFile}}) {
        table->Create(HighScoreTable::kRowCount);
        table->AddDefaultRows();
        table->Load(file);
    }
}

// ---- [loading] ------------------------------------------------------------------------------------

bool GameApp::Step() {
    ++mLoadingStep;
    return !mQuit;
}

bool GameApp::LoadPicture(Sprite& sprite, const std::string& name) {
    bool ok = sprite.Load(name);
    std::lock_guard<std::mutex> lock(mPictureLock);
    mPictureIndex[Lower(name)] = &sprite;
    return ok;
}

bool GameApp::LoadNamed(const std::string& name) {
    for (const PictureField& field : kPictureFields)
        if (name == field.mName) return LoadPicture(this->*field.mField, name);
    Sprite* sprite = nullptr;
    {
        std::lock_guard<std::mutex> lock(mPictureLock);
        std::unique_ptr<Sprite>& slot = mPictures[Lower(name)];
        if (!slot) slot = std::make_unique<Sprite>();
        sprite = slot.get();
    }
    return LoadPicture(*sprite, name);
}

const Sprite& GameApp::Picture(const std::string& name) const {
    static const Sprite kEmpty;
    std::lock_guard<std::mutex> lock(mPictureLock);
    auto found = mPictureIndex.find(Lower(name));
    return found == mPictureIndex.end() ? kEmpty : *found->second;
}

void GameApp::LoadResources() {
    // Each group below is one step of the title screen's bar; a picture or sound that fails to
    // load has been reported by its loader and the next step goes on.
    mLoadingTotal = kLoadingSteps;
    mLoadingStep = 0;

    // 1. The pieces' two frames per colour (the large pieces' frames with them).
    for (int c = 0; c < QuorlImageSet::kColors; ++c) {
        for (int f = 0; f < 2; ++f) {
            LoadPicture(mQuorls[c][f], Format("Graphics\\quorls\\ql%d%d", c, f));
            LoadPicture(mLargeQuorls[c][f], Format("Graphics\\quorls\\large\\ql%d%d", c, f));
            if (!Step()) return;
        }
    }
    // 2. The cracks of a hit dullbone.
    for (int i = 0; i < 2; ++i) {
        LoadPicture(mCracks[i], Format("Graphics\\quorls\\crack%d", i));
        LoadPicture(mLargeCracks[i], Format("Graphics\\quorls\\large\\crack%d", i));
    }
    if (!Step()) return;
    // 3. Effects, then the large font of the floating scores.
    for (const char* name : kEffectPictures) {
        LoadNamed(name);
        if (!Step()) return;
    }
    mFont4.Load("fonts\\font4");
    if (!Step()) return;
    // 4. The level screen.
    for (const char* name : kScreenGroup) LoadNamed(name);
    if (!Step()) return;
    // 5. Panels and menus.
    for (const char* name : kPanelPictures) {
        LoadNamed(name);
        if (!Step()) return;
    }
    // 6. A 64 by 64 tile of each colour (the map's board thumbnails draw pieces with them).
    for (int c = 0; c < 8; ++c) {
        Image tile = mQuorls[c][0].ToImage();
        if (tile.Empty())
            mSmallTiles[c].Clear();
        else
            mSmallTiles[c].SetImage(tile.Resized(64, 64));
        if (!Step()) return;
    }
    // 7. Controls, bonuses and dialog buttons.
    for (const char* name : kControlPictures) {
        LoadNamed(name);
        if (!Step()) return;
    }
    // 8. Idols.
    for (const char* name : kIdolPictures) {
        LoadNamed(name);
        if (!Step()) return;
    }
    // 9. The profile screen.
    for (const char* name : kProfilePictures) {
        LoadNamed(name);
        if (!Step()) return;
    }
    // 10. The white spark, the journey's sky with its random stars, and the map's arrows.
    {
        Image spark;
        spark.Create(5, 5, 0xFFFFFFFFu);
        mSpark.SetImage(spark);
    }
    Starfield::Make(ProgramRandom(), mSkyUpper, mSkyLower);
    for (const char* name : kMapPictures) LoadNamed(name);
    if (!Step()) return;
    // 11. Sounds and music.
    for (const SoundField& sound : kSounds) {
        (this->*sound.mField).Load(sound.mName, sound.mChannels);
        if (!Step()) return;
    }
}

// ---- [play] -----------------------------------------------------------------------------------------

void GameApp::LoadingDone() {
    DebugLog::Log("loading done in %u ms", unsigned(Milliseconds() - mLoadingStartTime));
    // A first start asks for a profile; then the chosen profile's statistics are read.
    ShowProfiles(true);
    if (mQuit) return;
    LoadStatistics();
    // The developer's switches skip the title and the menus; after a restart the main menu
    // follows at once; otherwise the title screen now shows its play button.
    if (mStartPlay != 0)
        StartPlay();
    else if (mAfterRestart)
        GoToMainMenu();
}

GameSession* GameApp::StartPlay() {
    std::lock_guard<std::recursive_mutex> lock(mDrawLock);
    ClearScreens();
    GameSession* session = nullptr;
    if (mStartPlay == 2) {
        session = new GameSession(this);
        session->StartLevelNow(mStartLevel);
    } else if (mStartPlay == 3) {
        // A new journey: the session makes its map.
        session = new GameSession(this);
    } else {
        session = new GauntletSession(this);
    }
    mGadgets.Add(session);
    mSession = session;
    session->TakeKeyboardFocus();
    int destination = mStartPlay == 2   ? kDestinationStartLevel
                      : mStartPlay == 3 ? kDestinationNewJourney
                                        : kDestinationNewGauntlet;
    DebugLog::Log("screen %d %s", destination, session->mName);
    return session;
}

void GameApp::PostUpdate() {
    if (mSoak) mSoak->Update();
}

int GameApp::ShowProfiles(bool firstRun) { return ProfileScreen::Show(this, firstRun); }

uint32_t GameApp::NextMapSeed() {
    if (mMapSeedGiven) return mMapSeed++;
    return App::Milliseconds();
}

const char* GameApp::IdolPictureName(int idol) {
    return kIdolPictures[std::clamp(idol, 0, int(std::size(kIdolPictures)) - 1)];
}

// ---- [screens] --------------------------------------------------------------------------------------

void GameApp::GoTo(int destination, bool darkPiece) {
    std::lock_guard<std::recursive_mutex> lock(mDrawLock);
    mGadgets.Add(new ScreenFader(this, destination, darkPiece));
}

void GameApp::GoToMainMenu() { GoTo(kDestinationMainMenu); }
void GameApp::GoToNewJourney() { GoTo(kDestinationNewJourney); }
void GameApp::GoToNewGauntlet() { GoTo(kDestinationNewGauntlet); }
void GameApp::GoToScores() { GoTo(kDestinationScores); }

void GameApp::GoToResume(const std::string& path) {
    mResumePath = path;
    // A damaged saved game is refused over the menu, before any fade begins.
    if (!CheckSavedGame(path)) return;
    GoTo(kDestinationResume);
}

void GameApp::SwitchScreen(int destination) {
    std::lock_guard<std::recursive_mutex> lock(mDrawLock);
    const char* built = "nothing";
    auto mainMenu = [&] {
        mMainMenu = new MainMenu(this);
        mGadgets.Add(mMainMenu);
        built = mMainMenu->mName;
    };
    auto newSession = [&](GameSession* session) {
        mSession = session;
        mGadgets.Add(session);
        session->TakeKeyboardFocus();
        built = session->mName;
    };
    switch (destination) {
    case kDestinationMainMenu:
        ClearScreens();
        mainMenu();
        break;
    case kDestinationNewJourney:
        ClearScreens();
        newSession(new GameSession(this));
        break;
    case kDestinationNewGauntlet:
        ClearScreens();
        newSession(new GauntletSession(this));
        break;
    case kDestinationStartLevel:
        if (mSession) {
            mSession->PerformSwitch(destination);
            built = mSession->mBoard ? mSession->mBoard->mName : built;
        }
        break;
    case kDestinationLevelWon:
    case kDestinationLevelLost:
        if (mSession) {
            mSession->PerformSwitch(destination);
            built = mSession->GetMap() ? mSession->GetMap()->mName : built;
        }
        break;
    case kDestinationResume:
        // The saved game is read and checked before anything is cleared: one that is refused
        // leaves the player on the menu as it was.
        if (ResumeSession(mResumePath) && mSession) {
            built = mSession->mName;
        } else {
            DebugLog::Log("The saved game %s could not be resumed", mResumePath.c_str());
            if (!mMainMenu) {
                ClearScreens();
                mainMenu();
            }
            built = mMainMenu->mName;
        }
        break;
    case kDestinationScores:
        ClearScreens();
        mScoresScreen = CreateScoresScreen();
        if (mScoresScreen)
            built = mScoresScreen->mName;
        else
            mainMenu();
        break;
    default:
        break;
    }
    DebugLog::Log("screen %d %s", destination, built);
}

Gadget* GameApp::CreateScoresScreen() {
    auto* screen = new ScoresScreen(this);
    mGadgets.Add(screen);
    return screen;
}


// ---- [dialogs and display] ----------------------------------------------------------------------

bool GameApp::MessageBox(const std::string& title, const std::string& text, const std::string& buttons) {
    std::string kind = Lower(buttons);
    bool yesNo = kind == "yesno" || kind == "yes|no";
    // The themed box needs its pictures and the main loop; load errors (from the loader thread)
    // and anything before the window is up get the desktop's box.
    bool themed = OnMainThread() && mLoaded && !mQuit && mWindow;
    if (!themed) return App::MessageBox(title, text, buttons);
    return ::MessageBox::Ask(this, text, yesNo) == 1;
}

bool GameApp::IsFullscreen() const { return mGraphics && mGraphics->mFullscreen; }

bool GameApp::IsSoftwareRenderer() const { return mGraphics && mGraphics->mSoftware; }

bool GameApp::SetFullscreen(bool fullscreen) {
    if (IsFullscreen() == fullscreen) return true;
    if (!SwitchFullscreen(fullscreen)) return false;
    Registry config;
    config.Load(mConfigPath.empty() ? std::string(GameFiles::kConfigFile) : mConfigPath);
    config.SetBool("Fullscreen", fullscreen);
    if (!config.Close()) DebugLog::Log("The display choice could not be written to game.cfg");
    return true;
}

bool GameApp::CanChangeRenderer() const { return !DisplaySettings::SwitchGiven(mCommandLine); }

void GameApp::ChangeRenderer(bool software) {
    Registry config;
    config.Load(mConfigPath.empty() ? std::string(GameFiles::kConfigFile) : mConfigPath);
    config.SetBool("Software", software);
    // Both renderers draw the 800 by 600 screen one to one, so both start in a window of that size.
    config.SetInt("Width", 800);
    config.SetInt("Height", 600);
    if (!config.Close()) {
        // Restarting would only bring back the same renderer.
        DebugLog::Log("The renderer choice could not be written to game.cfg");
        return;
    }
    Restart();
}

// ---- [statistics] -----------------------------------------------------------------------------------

bool GameApp::LoadStatistics() { return mStatistics.LoadStatistics(mProfiles); }

bool GameApp::SaveStatistics() {
    // A record never loaded for a profile would overwrite that profile's file with zeros.
    if (!mStatistics.IsBound()) return false;
    return mStatistics.SaveStatistics(mProfiles);
}
