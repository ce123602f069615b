// The slide board under the keyboard (and a game controller, whose buttons arrive as keys): a
// cursor over the cells, and one-cell slides of its line made through the board's own press,
// drag and release, so the game rules cannot tell them from the mouse's.
#include "board/SlideBoard.h"

#include <algorithm>
#include <cmath>

#include "board/SlideObject.h"
#include "engine/core/App.h"
#include "engine/draw/GraphicsDevice.h"
#include "platform/KeyCodes.h"

namespace {

bool ShiftHeld() {
    App* app = App::Instance();
    return app && app->mShiftHeld;
}

}  // namespace

// ---- [keyboard] -----------------------------------------------------------------------------------

void SlideBoard::KeyDown(int key) {
    if (App* app = App::Instance()) mKeyCursorTick = app->mUpdateCount;
    int columns = 0, rows = 0;
    switch (key) {
    case kKeyLeft: columns = -1; break;
    case kKeyRight: columns = 1; break;
    case kKeyUp: rows = -1; break;
    case kKeyDown: rows = 1; break;
    case kKeySpace:
    case kKeyEnter:
    case kKeyPadA:
        break;
    case kKeyPadB:
        mKeyPickedUp = false;
        return;
    default:
        return;
    }
    // A slide still under way ends before the next key counts (a held key repeats quickly).
    FinishKeySlide();
    if (!mKeyCursorShown) {
        ShowKeyCursor();
        return;
    }
    EnsureKeyCell();
    if (columns == 0 && rows == 0) {
        // Only a piece can be picked up.
        if (mKeyPickedUp) {
            mKeyPickedUp = false;
        } else {
            float cell = mCellSize;
            mKeyPickedUp = PickObject((float(mKeyColumn) - 0.5f) * cell, (float(mKeyRow) - 0.5f) * cell) != nullptr;
        }
        return;
    }
    if (mKeyPickedUp || ShiftHeld()) {
        // Like letting go of the mouse: the piece is put down whether the move stands or not.
        mKeyPickedUp = false;
        StartKeySlide(columns, rows);
        return;
    }
    MoveKeyCursor(columns, rows);
}

void SlideBoard::ShowKeyCursor() {
    EnsureKeyCell();
    mKeyCursorShown = mKeyColumn > 0;
}

void SlideBoard::EnsureKeyCell() {
    if (IsCell(mKeyColumn, mKeyRow)) return;
    // The cell nearest the middle of the board.
    float midColumn = float(mColumnBound) * 0.5f, midRow = float(mRowBound) * 0.5f;
    float best = -1.0f;
    mKeyColumn = mKeyRow = 0;
    for (int c = 1; c < mColumnBound; ++c)
        for (int r = 1; r < mRowBound; ++r) {
            if (!IsCell(c, r)) continue;
            float d = (float(c) - midColumn) * (float(c) - midColumn) + (float(r) - midRow) * (float(r) - midRow);
            if (best < 0.0f || d < best) {
                best = d;
                mKeyColumn = c;
                mKeyRow = r;
            }
        }
}

void SlideBoard::MoveKeyCursor(int columns, int rows) {
    EnsureKeyCell();
    if (mKeyColumn == 0) return;
    int steps = std::abs(columns) + std::abs(rows);
    int dc = columns > 0 ? 1 : columns < 0 ? -1 : 0;
    int dr = rows > 0 ? 1 : rows < 0 ? -1 : 0;
    int width = std::max(1, mColumnBound - 1), height = std::max(1, mRowBound - 1);
    for (int n = 0; n < steps; ++n) {
        int c = mKeyColumn, r = mKeyRow;
        // Round the line to the next cell of the shape; a line with no other cell keeps it.
        for (int tries = 0; tries < std::max(width, height); ++tries) {
            c = (c - 1 + dc + width) % width + 1;
            r = (r - 1 + dr + height) % height + 1;
            if (IsCell(c, r)) break;
        }
        if (!IsCell(c, r)) return;
        mKeyColumn = c;
        mKeyRow = r;
    }
}

bool SlideBoard::StartKeySlide(int columns, int rows) {
    FinishKeySlide();
    EnsureKeyCell();
    if (mKeyColumn == 0 || mCellSize < 1.0f) return false;
    // The mouse has the board (a press held on it, or a drag of its own): the keys wait.
    App* app = App::Instance();
    if (mDragged || mPlayerDragActive || mAutoDragActive || (app && app->mCapture == this)) return false;
    float cell = mCellSize;
    float x = (float(mKeyColumn) - 0.5f) * cell, y = (float(mKeyRow) - 0.5f) * cell;
    mKeyDriving = true;
    MouseDown(x, y, -1);
    bool started = false;
    if (mDragged) {
        mCancelDrag = false;
        StartDrag(x, y);
        started = !mCancelDrag && mDragged && (mPlayerDragActive || mAutoDragActive);
        if (!started) {
            // A refused drag ends its press, as the mouse's does.
            mDragged = nullptr;
            MouseUp(x, y, -1);
        }
    }
    mKeyDriving = false;
    if (!started) return false;
    mKeySliding = true;
    mKeySlideStep = 0;
    mKeySlideX = x;
    mKeySlideY = y;
    mKeySlideDX = float(columns) * cell;
    mKeySlideDY = float(rows) * cell;
    return true;
}

void SlideBoard::StepKeySlide() {
    if (!mKeySliding) return;
    mKeyDriving = true;
    ++mKeySlideStep;
    float t = float(std::min(mKeySlideStep, kKeySlideSteps)) / float(kKeySlideSteps);
    float x = mKeySlideX + mKeySlideDX * t, y = mKeySlideY + mKeySlideDY * t;
    mCancelDrag = false;
    Drag(x, y);
    if (mCancelDrag) {
        // The game rules took the drag away: the press ends far away, as a refused mouse drag's.
        mKeySliding = false;
        MouseUp(-9999.0f, -9999.0f, -1);
    } else if (mKeySlideStep >= kKeySlideSteps) {
        mKeySliding = false;
        FinishDrag(x, y);
        MouseUp(x, y, -1);
        // The cursor goes with the piece when the move stands; after a snapback it stays.
        if (!mSnapbackActive)
            MoveKeyCursor(mKeySlideDX > 0.0f ? 1 : mKeySlideDX < 0.0f ? -1 : 0,
                          mKeySlideDY > 0.0f ? 1 : mKeySlideDY < 0.0f ? -1 : 0);
    }
    mKeyDriving = false;
}

void SlideBoard::FinishKeySlide() {
    for (int guard = 0; mKeySliding && guard <= kKeySlideSteps; ++guard) StepKeySlide();
    mKeySliding = false;
}

void SlideBoard::DrawKeyCursor() {
    if (!mKeyCursorShown || !IsCell(mKeyColumn, mKeyRow)) return;
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    float cell = mCellSize;
    float x = float(mKeyColumn - 1) * cell, y = float(mKeyRow - 1) * cell;
    // While its line slides, the frame travels with the piece.
    if (mKeySliding) {
        float t = float(mKeySlideStep) / float(kKeySlideSteps);
        x += mKeySlideDX * t;
        y += mKeySlideDY * t;
    }
    App* app = App::Instance();
    int idle = app ? app->mUpdateCount - mKeyCursorTick : 0;
    // A slow glow after each key, so the frame is found at a glance on a busy board; four beats (8 pi),
    // then it holds still, so a board nobody touches stops asking for new frames.
    float phase = float(idle) * 0.08f;
    float glow = (idle >= 0 && phase < 25.13f) ? 0.75f + 0.25f * std::cos(phase) : 1.0f;
    float thick = std::max(2.0f, std::floor(cell * 0.06f));
    device->PushColor();
    auto frame = [&](float inset, float width) {
        float fx = x + inset, fy = y + inset, size = cell - 2.0f * inset;
        device->FillRect(fx, fy, size, width);
        device->FillRect(fx, fy + size - width, size, width);
        device->FillRect(fx, fy + width, width, size - 2.0f * width);
        device->FillRect(fx + size - width, fy + width, width, size - 2.0f * width);
    };
    // A dark rim under a bright one, so it shows on light and dark pieces alike.
    device->SetColor(0.0f, 0.0f, 0.0f, 0.6f);
    frame(0.0f, thick + 2.0f);
    if (mKeyPickedUp)
        device->SetColor(1.0f, 0.85f, 0.2f, glow);
    else
        device->SetColor(1.0f, 1.0f, 1.0f, glow);
    frame(1.0f, thick);
    if (mKeyPickedUp) {
        // Four notches point along both lines the piece can slide in.
        float notch = std::max(4.0f, std::floor(cell * 0.16f)), mid = cell * 0.5f;
        for (int i = 0; i < 3; ++i) {
            float w = notch - float(i) * notch / 3.0f, step = float(i) * thick;
            device->FillRect(x + mid - w * 0.5f, y - thick - step, w, thick);
            device->FillRect(x + mid - w * 0.5f, y + cell + step, w, thick);
            device->FillRect(x - thick - step, y + mid - w * 0.5f, thick, w);
            device->FillRect(x + cell + step, y + mid - w * 0.5f, thick, w);
        }
    }
    device->PopColor();
}
