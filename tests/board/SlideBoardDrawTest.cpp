// What a bare board draws: each piece a square of the engine's indexed colour inset by one pixel,
// a piece across its line's wrap drawn on both ends, clipped to the line.
#include <gtest/gtest.h>

#include <cstdlib>

#include "BoardTestSupport.h"
#include "engine/draw/ColorTable.h"
#include "engine/draw/HeadlessShot.h"

namespace {

uint32_t Argb(const ColorTable::Color& c) {
    auto byte = [](float v) { return uint32_t(v * 255.0f + 0.5f); };
    return 0xFF000000u | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

}  // namespace

TEST(SlideBoardDraw, PiecesAreIndexedColourSquaresAndWrapAcrossTheirLine) {
    AppTestDriver<ShotApp> drive;
    auto* board = new RecordingBoard();
    Make(*board, kSquare5, 300);
    Paint(*board, kWrapMove);
    drive.app->mGadgets.Add(board);
    drive.Step();
    // Row 3 held 40 pixels to the left.
    drive.Press(50 + 150, 25 + 150);
    drive.Step();
    drive.MoveTo(50 + 120, 25 + 150);
    drive.Step();
    drive.MoveTo(50 + 110, 25 + 150);
    drive.Step();
    const char* dir = std::getenv("QS_SHOT_DIR");
    std::string path = std::string(dir ? dir : "/tmp") + "/slideboard.png";
    ASSERT_TRUE(HeadlessShot::Write(drive, path));

    auto* device = dynamic_cast<SoftwareGraphics*>(drive.app->mGraphics);
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(device->ReadPixels(pixels, w, h));
    auto at = [&](int x, int y) { return pixels[size_t(y) * w + x] | 0xFF000000u; };
    // A resting piece: its colour inside, not on its one-pixel border.
    SlideObject* corner = PieceAt(*board, 1, 1);
    EXPECT_EQ(at(50 + 30, 25 + 30), Argb(ColorTable::Get(corner->mColor)));
    EXPECT_NE(at(50, 25 + 30), Argb(ColorTable::Get(corner->mColor)));
    // Row 3 is 40 pixels left: its first piece (x -40) shows its right part at the row's
    // start and the rest at the row's far end.
    SlideObject* wrapped = board->mDragged;
    ASSERT_NE(wrapped, nullptr);
    EXPECT_EQ(wrapped->mX, 80.0f);
    SlideObject* first = nullptr;
    for (void* item : board->mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        if (p->mHomeX == 0.0f && p->mHomeY == 120.0f) first = p;
    }
    ASSERT_NE(first, nullptr);
    uint32_t color = Argb(ColorTable::Get(first->mColor));
    EXPECT_EQ(at(50 + 10, 25 + 150), color);
    EXPECT_EQ(at(50 + 290, 25 + 150), color);
    EXPECT_NE(at(50 - 10, 25 + 150), color) << "clipped to the row";
}
