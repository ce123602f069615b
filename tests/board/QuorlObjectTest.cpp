// The game piece: the turn into a dullbone and the board's count of vanishing pieces, hits and
// the shake, running without pictures, and one frame drawn with the generated art.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "board/BoardRandom.h"
#include "board/QuorlObject.h"
#include "BoardTestSupport.h"
#include "engine/audio/Sound.h"
#include "engine/core/ObjectManager.h"
#include "engine/draw/ColorTable.h"
#include "engine/draw/HeadlessShot.h"
#include "engine/draw/Image.h"
#include "engine/draw/Particle.h"
#include "engine/draw/Sprite.h"
#include "platform/FileSystem.h"

namespace {

// A board of quorls with a particle manager, a dot for the puff and the dust, unloaded sounds.
class QuorlBoard : public RecordingBoard {
public:
    QuorlBoard() {
        Image dot;
        dot.Create(8, 8, 0xFFFFFFFFu);
        mDot.SetImage(dot);
        mImages.mPuff = mImages.mDust = &mDot;
        mImages.mCrackSound = mImages.mShatterSound = &mSilent;
        mContext.mImages = &mImages;
        mContext.mParticles = &mParticles;
        mContext.mClock = &mClock;
    }
    SlideObject* NewSlideObject() override { return new QuorlObject(this, &mContext); }
    QuorlObject* At(int column, int row) { return static_cast<QuorlObject*>(PieceAt(*this, column, row)); }

    Sprite mDot;
    Sound mSilent;
    QuorlImageSet mImages;
    ObjectManager mParticles;
    QuorlContext mContext;
    int mClock = 0;
};

float OffsetLength(const QuorlObject& p) { return std::hypot(p.mDrawOffsetX, p.mDrawOffsetY); }

Particle* LastParticle(ObjectManager& particles) {
    return particles.Count() ? static_cast<Particle*>(particles.At(particles.Count() - 1)) : nullptr;
}

}  // namespace

TEST(QuorlObject, VanishShakesThenShrinksIntoAFullSizeDullbone) {
    ProgramRandom().Seed(7);
    QuorlBoard board;
    Make(board, kSquare5, 300);
    QuorlObject* p = board.At(2, 3);
    int color = p->mColor;

    p->StartVanish();
    EXPECT_EQ(board.mVanishingPieces, 1);
    for (int step = 1; step < QuorlObject::kVanishShake; ++step) {
        p->Update();
        ASSERT_NEAR(OffsetLength(*p), 5.0f, 1e-3f) << "step " << step;
        ASSERT_EQ(p->MatchColor(), color) << "step " << step;
    }
    p->Update();
    EXPECT_EQ(OffsetLength(*p), 0.0f);
    EXPECT_EQ(p->MatchColor(), -1);
    Particle* puff = LastParticle(board.mParticles);
    ASSERT_NE(puff, nullptr);
    EXPECT_EQ(puff->mPos.mX, p->mX + p->mW / 2);
    EXPECT_EQ(puff->mPos.mY, p->mY + p->mH / 2);
    EXPECT_EQ(puff->mColor.mAlpha, 1.0f);

    int shrinkSteps = 0;
    float lastScale = p->mScale, lastAlpha = p->mAlpha;
    while (p->mVanishing && shrinkSteps < 200) {
        p->Update();
        ++shrinkSteps;
        if (!p->mVanishing) break;
        ASSERT_LT(p->mScale, lastScale);
        ASSERT_LT(p->mAlpha, lastAlpha);
        lastScale = p->mScale, lastAlpha = p->mAlpha;
    }
    EXPECT_EQ(shrinkSteps, 34);
    EXPECT_EQ(p->mScale, 1.0f);
    EXPECT_EQ(p->mAlpha, 1.0f);
    EXPECT_EQ(p->MatchColor(), -1);
    EXPECT_EQ(board.mVanishingPieces, 0);

    // Starting again while it runs must not count the piece twice: the board would wait for ever.
    p->StartVanish();
    p->StartVanish();
    EXPECT_EQ(board.mVanishingPieces, 1);
    for (int i = 0; i < 200; ++i) p->Update();
    EXPECT_EQ(board.mVanishingPieces, 0);
}

TEST(QuorlObject, DestroyedMidVanishGivesItsCountBackNeverBelowZero) {
    struct Case {
        int steps;       // updates before the piece goes (shaking, shrinking, finished)
        int countBefore;  // the count other pieces left
        int countAfter;   // set by the test just before the piece goes; -1 leaves it alone
    };
    const Case cases[] = {{10, 0, -1}, {90, 1, -1}, {200, 0, -1}, {10, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("steps " + std::to_string(c.steps) + " reset " + std::to_string(c.countAfter));
        QuorlBoard board;
        Make(board, kSquare5, 300);
        board.mVanishingPieces = c.countBefore;
        QuorlObject* p = board.At(1, 1);
        p->StartVanish();
        for (int i = 0; i < c.steps; ++i) p->Update();
        if (c.countAfter >= 0) board.mVanishingPieces = c.countAfter;
        delete p;
        EXPECT_EQ(board.mVanishingPieces, c.countAfter >= 0 ? c.countAfter : c.countBefore);
    }
}

TEST(QuorlObject, HitsCrackThenBreakWithShakeAndDust) {
    for (const char* layout : {kSquare5, "[G##][###][###]"}) {
        SCOPED_TRACE(layout);
        ProgramRandom().Seed(3);
        QuorlBoard board;
        Make(board, layout, 300);
        ASSERT_EQ(board.mLastError, "");
        QuorlObject* p = board.At(1, 1);
        p->mSpecial = true;
        const bool broken[] = {false, true, true};
        for (int hit = 0; hit < 3; ++hit) {
            EXPECT_EQ(p->Hit(), broken[hit]) << "hit " << hit + 1;
            ASSERT_EQ(board.mParticles.Count(), hit + 1);
            Particle* dust = LastParticle(board.mParticles);
            EXPECT_EQ(dust->mScale, p->mLarge ? 2.0f : 1.0f);
            EXPECT_EQ(dust->mColor.mAlpha, 0.75f);
            EXPECT_EQ(dust->mPos.mX, p->mX + p->mW / 2);
        }
        // The shake turns and moves the piece, and leaves it at rest when its countdown runs out.
        bool turned = false;
        for (int step = 1; step < QuorlObject::kHitShake; ++step) {
            p->Update();
            ASSERT_NEAR(OffsetLength(*p), 5.0f, 1e-3f) << "step " << step;
            ASSERT_LE(std::fabs(p->mAngle), 10.0f);
            turned = turned || p->mAngle != 0.0f;
        }
        EXPECT_TRUE(turned);
        p->Update();
        EXPECT_EQ(OffsetLength(*p), 0.0f);
        EXPECT_EQ(p->mAngle, 0.0f);
    }
}

TEST(QuorlObject, RunsWithoutBoardContextOrDevice) {
    QuorlContext empty;
    for (QuorlContext* context : {static_cast<QuorlContext*>(nullptr), &empty}) {
        QuorlObject lone(nullptr, context);
        lone.StartVanish();
        EXPECT_FALSE(lone.Hit());
        for (int i = 0; i < 150; ++i) lone.Update();
        EXPECT_FALSE(lone.mVanishing);
        EXPECT_TRUE(lone.Hit());
        lone.Draw();
    }
}

// ---- drawing -------------------------------------------------------------------------------------

namespace {

// Draws one frame of the board at (50, 50) and returns the back buffer's pixels (opaque).
std::vector<uint32_t> Shoot(AppTestDriver<ShotApp>& drive, const char* file, int& width) {
    const char* dir = std::getenv("QS_SHOT_DIR");
    EXPECT_TRUE(HeadlessShot::Write(drive, std::string(dir ? dir : "/tmp") + "/" + file));
    std::vector<uint32_t> pixels;
    int height = 0;
    dynamic_cast<SoftwareGraphics*>(drive.app->mGraphics)->ReadPixels(pixels, width, height);
    for (uint32_t& p : pixels) p |= 0xFF000000u;
    return pixels;
}

}  // namespace

TEST(QuorlObjectDraw, WithoutPicturesPiecesAreSquaresAndDullbonesDark) {
    AppTestDriver<ShotApp> drive;
    auto* board = new QuorlBoard();
    Make(*board, kSquare5, 300);
    board->SetRect(50, 50, board->mRect.w, board->mRect.h);
    drive.app->mGadgets.Add(board);
    board->At(2, 1)->mSpecial = true;
    int w = 0;
    std::vector<uint32_t> pixels = Shoot(drive, "quorlobject-plain.png", w);
    ColorTable::Color c = ColorTable::Get(board->At(1, 1)->mColor);
    auto byte = [](float v) { return uint32_t(v * 255.0f + 0.5f); };
    EXPECT_EQ(pixels[80 * w + 80], 0xFF000000u | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b));
    EXPECT_EQ(pixels[80 * w + 140], 0xFF000000u | byte(0.3f) * 0x010101u) << "a dullbone is dark grey";
}

TEST(QuorlObjectDraw, PicturesLandInsideTheirCells) {
    // The generated art lies at the top of the build folder, beside the tests' folder.
    std::error_code error;
    auto art = std::filesystem::read_symlink("/proc/self/exe", error).parent_path().parent_path();
    if (error || !std::filesystem::exists(art / "Graphics" / "quorls" / "ql00.png", error))
        GTEST_SKIP() << "no generated pictures beside the test program";

    constexpr int kCell = 100;
    AppTestDriver<ShotApp> drive;
    auto* board = new QuorlBoard();
    // Prepared as the game board prepares them: the cell size minus 12 (twice the cell for large).
    Sprite frames[2][QuorlImageSet::kColors][2], cracks[2][2];
    std::string savedRoot = Files::ResourceRoot();
    Files::SetResourceRoot(art.string());
    auto load = [&](Sprite& sprite, const std::string& name, int large) {
        Image image;
        EXPECT_TRUE(image.Load(std::string("Graphics\\quorls\\") + (large ? "large\\" : "") + name)) << name;
        int size = (large + 1) * kCell - 12;
        sprite.SetImage(image.Resized(size, size));
    };
    for (int large = 0; large < 2; ++large) {
        for (int c = 0; c < QuorlImageSet::kColors; ++c)
            for (int f = 0; f < 2; ++f) {
                load(frames[large][c][f], "ql" + std::to_string(c) + std::to_string(f), large);
                (large ? board->mImages.mLargeFrames : board->mImages.mFrames)[c][f] = &frames[large][c][f];
            }
        for (int i = 0; i < 2; ++i) {
            load(cracks[large][i], "crack" + std::to_string(i), large);
            (large ? board->mImages.mLargeCracks : board->mImages.mCracks)[i] = &cracks[large][i];
        }
    }
    Files::SetResourceRoot(savedRoot);

    // A cracked large dullbone, a plain piece, a cracked dullbone, one halfway through its vanish,
    // a dullbone, and one shaken by a hit away from the others (a shake may cross cell edges).
    Make(*board, "[G####][#####][#####]", 5 * kCell);
    ASSERT_EQ(board->mLastError, "");
    board->SetRect(50, 50, board->mRect.w, board->mRect.h);
    drive.app->mGadgets.Add(board);
    QuorlObject* resting[] = {board->At(1, 1), board->At(3, 1), board->At(4, 1), board->At(5, 1), board->At(4, 2)};
    for (QuorlObject* p : {resting[0], resting[2], resting[4]}) p->mSpecial = true;
    for (QuorlObject* p : {resting[0], resting[2]}) p->mCrackLevel = 1;
    QuorlObject* vanishing = resting[3];
    vanishing->StartVanish();
    for (int i = 0; i < QuorlObject::kVanishShake + 17; ++i) vanishing->Update();
    ASSERT_LT(vanishing->mScale, 0.6f);
    QuorlObject* shaken = board->At(5, 3);
    shaken->Hit();
    shaken->Update();

    int w = 0;
    std::vector<uint32_t> pixels = Shoot(drive, "quorlobject.png", w);
    auto count = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += pixels[size_t(50 + y) * w + 50 + x] != pixels[0];
        return n;
    };
    for (QuorlObject* p : {resting[0], resting[1], resting[2], resting[3], resting[4], shaken}) {
        int x0 = int(p->mX), y0 = int(p->mY), x1 = x0 + int(p->mW), y1 = y0 + int(p->mH);
        SCOPED_TRACE("piece at " + std::to_string(x0) + "," + std::to_string(y0));
        // Even the shrunken piece covers a good part of its cell.
        EXPECT_GT(count(x0, y0, x1, y1), (x1 - x0) * (y1 - y0) / 12);
        if (p == shaken) continue;
        EXPECT_EQ(count(x0, y0, x1, y0 + 6) + count(x0, y1 - 6, x1, y1), 0) << "top and bottom edges";
        EXPECT_EQ(count(x0, y0, x0 + 6, y1) + count(x1 - 6, y0, x1, y1), 0) << "left and right edges";
    }
}
