// The journey map's node pictures: each level's board drawn small inside the node frame, kept in
// the per-user data folder ("Graphics\thumbs\<level code>.png") so that later journeys only read
// them. A cached picture that cannot be read is made again and written over.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/draw/Image.h"
#include "engine/draw/PngCodec.h"
#include "engine/draw/Sprite.h"
#include "board/BoardRandom.h"
#include "game/rules/Board.h"
#include "game/GameApp.h"
#include "game/rules/LevelGenerator.h"
#include "game/journey/Maze.h"
#include "platform/FileSystem.h"

namespace {

constexpr const char* kThumbFolder = "Graphics\\thumbs\\";
// The window of the node frame the board shows through.
constexpr int kWindowX = 20, kWindowY = 20, kWindowSize = 89;
constexpr int kFrameSize = 129;

// The cached picture of a level code, read by the image loader's file rules but without its
// error message: a damaged or foreign file is simply made again.
bool ReadCachedThumb(const std::string& name, Image& out) {
    static const char* const kExtensions[] = {"cached", "gif", "jpg", "png"};
    for (const char* extension : kExtensions) {
        std::vector<uint8_t> bytes;
        if (!Files::ReadWhole(name + "." + extension, bytes)) continue;
        if (out.Decode(extension, bytes.data(), bytes.size()) && out.mWidth == kFrameSize && out.mHeight == kFrameSize)
            return true;
    }
    out.Clear();
    return false;
}

// The board of a level with its pieces dealt, drawn by MakeThumb. The deal is fixed by the level
// id, and the program-wide source (which making pieces also draws from) is left as it was, so
// whether a thumbnail was cached never changes the game that follows.
Image DrawLevel(int levelId, const Sprite* const* tiles) {
    BoardRandom saved = ProgramRandom();
    Image picture;
    {
        Board board(nullptr);
        board.mLevelId = levelId;
        board.mUseFixedSeed = true;
        board.mFixedSeed = levelId;
        board.Initialize();
        board.MakeThumb(picture, tiles);
    }
    ProgramRandom() = saved;
    return picture;
}

// The frame with the board shrunk into its window, centred.
Image Frame(const Image& board, const Sprite& frameSprite) {
    Image framed;
    framed.Create(kFrameSize, kFrameSize, 0);
    Image well;
    well.Create(kWindowSize, kWindowSize, 0xFF0B1030u);
    framed.Paint(well, kWindowX, kWindowY);
    if (!frameSprite.Empty()) framed.Paint(frameSprite.ToImage(), 0, 0);
    if (!board.Empty()) {
        float scale = std::min(float(kWindowSize) / float(board.mWidth), float(kWindowSize) / float(board.mHeight));
        int w = std::max(1, int(float(board.mWidth) * scale + 0.5f));
        int h = std::max(1, int(float(board.mHeight) * scale + 0.5f));
        framed.Paint(board.Resized(w, h), kWindowX + (kWindowSize - w) / 2, kWindowY + (kWindowSize - h) / 2);
    }
    return framed;
}

}  // namespace

void Maze::GenerateThumbnails() {
    mThumbnailsLoaded = mThumbnailsMade = 0;
    for (auto& thumb : mThumbs) thumb.reset();
    // Nothing is drawn without the application.
    if (!mApp) return;
    const Sprite* tiles[8];
    // A picture made without the piece tiles or the frame (resources missing) is shown but not
    // kept: the next journey makes it again.
    bool complete = !mApp->mPuzzleBox.Empty();
    for (int i = 0; i < 8; ++i) {
        tiles[i] = &mApp->mSmallTiles[i];
        complete = complete && !tiles[i]->Empty();
    }
    std::map<std::string, std::shared_ptr<Sprite>> byCode;
    for (int cell = 0; cell < kCells; ++cell) {
        if (!(mGrid[cell] & kNode) || (mGrid[cell] & kTreasure)) continue;
        std::string code = GenerateLevel(mLevelIds[cell]).mCode;
        std::shared_ptr<Sprite>& sprite = byCode[code];
        if (!sprite) {
            std::string name = kThumbFolder + code;
            Image picture;
            if (ReadCachedThumb(name, picture)) {
                ++mThumbnailsLoaded;
            } else {
                picture = Frame(DrawLevel(mLevelIds[cell], tiles), mApp->mPuzzleBox);
                std::vector<uint8_t> png;
                if (complete && PngCodec::Encode(picture.mPixels.data(), picture.mWidth, picture.mHeight, false, png))
                    Files::WriteWholeAtomic(name + ".png", png.data(), png.size());
                ++mThumbnailsMade;
            }
            sprite = std::make_shared<Sprite>();
            sprite->SetImage(picture);
        }
        mThumbs[cell] = sprite;
    }
}
