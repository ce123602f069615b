// The text field. Every change recomputes the caret's pixel position from the text before it.
#include "engine/controls/EditBox.h"

#include <algorithm>
#include <cctype>

#include "engine/core/App.h"
#include "engine/draw/Font.h"
#include "engine/draw/GraphicsDevice.h"
#include "platform/Desktop.h"
#include "platform/KeyCodes.h"

EditBox::EditBox() {
    mName = "editbox";
    if (App* app = App::Instance(); app && app->mBeamCursor) mCursor = app->mBeamCursor;
}

EditBox::~EditBox() = default;

void EditBox::SetListener(Gadget* listener, bool addAsChild) {
    mListener = listener;
    if (listener && addAsChild) listener->AddChild(this);
}

void EditBox::SetText(std::string_view text) {
    mText = text;
    mCaret = static_cast<int>(mText.size());
    Changed();
}

void EditBox::SetFont(const Font* font) {
    mFont = font;
    Changed();
}

void EditBox::SetTextColor(float r, float g, float b, float a) {
    mTextColor[0] = r, mTextColor[1] = g, mTextColor[2] = b, mTextColor[3] = a;
}

void EditBox::SetSecondColor(float r, float g, float b, float a) {
    mSecondColor[0] = r, mSecondColor[1] = g, mSecondColor[2] = b, mSecondColor[3] = a;
}

void EditBox::Changed() {
    mCaret = std::clamp(mCaret, 0, static_cast<int>(mText.size()));
    mCaretX = mFont ? float(mFont->TextWidth(std::string_view(mText).substr(0, size_t(mCaret)))) : 0.0f;
}

void EditBox::ShowCaret() {
    mBlink.Restart();
    mCaretVisible = true;
    mBlinkCount = 0;
}

void EditBox::Refuse() {
    if (App* app = App::Instance()) app->Beep();
}

void EditBox::Update() {
    mBlink.Update();
    if (mBlink.TakeFired()) ++mBlinkCount;
    mCaretVisible = mBlink.mState;
}

bool EditBox::Insert(int c) {
    if (c < 32 || c > 255) return false;
    if (mForbidden.find(static_cast<char>(c)) != std::string::npos || (c == ' ' && mCaret == 0) ||
        (mLimitLength && static_cast<int>(mText.size()) >= mMaxLength) ||
        (mLimitWidth && float(mFont->TextWidth(mText)) + mFont->Advance(static_cast<unsigned char>(c)) >
                            mFieldWidth - mInsetX)) {
        Refuse();
        return false;
    }
    if (c < 128) {
        int upper = std::toupper(c);
        if (mAllUpper || (mCapitalizeFirst && mText.empty() && mFont->HasGlyph(upper))) c = upper;
    }
    // The space always has a width, even when the font keeps no record for it.
    if (c != ' ' && !mFont->HasGlyph(c)) return false;
    mText.insert(mText.begin() + mCaret, static_cast<char>(c));
    ++mCaret;
    return true;
}

void EditBox::Char(int c) {
    if (mReadOnly || !mFont) return;
    ShowCaret();
    if (c == kKeyBackspace) {
        if (mCaret > 0) {
            mText.erase(size_t(mCaret - 1), 1);
            --mCaret;
        }
    } else if (c == '\r' || c == '\n') {
        if (mAllowEmpty || !mText.empty()) {
            ReleaseKeyboardFocus();
            if (mListener) mListener->SendNotify(reinterpret_cast<intptr_t>(this));
        }
    } else {
        Insert(c);
    }
    Changed();
}

void EditBox::Paste(std::string_view text) {
    if (mReadOnly || !mFont) return;
    ShowCaret();
    // Line breaks and other control characters would end up in the files names are stored in.
    for (unsigned char c : text)
        if (c >= 32) Insert(c);
    Changed();
}

void EditBox::KeyDown(int key) {
    if (mReadOnly) return;
    App* app = App::Instance();
    bool shift = app && (app->mInput.IsDown(kScanLeftShift) || app->mInput.IsDown(kScanRightShift));
    bool control = app && (app->mInput.IsDown(kScanLeftCtrl) || app->mInput.IsDown(kScanRightCtrl));
    switch (key) {
        // This platform's text input carries no characters for these two keys.
        case kKeyBackspace: Char(kKeyBackspace); return;
        case kKeyEnter: Char('\r'); return;
        case kKeyTab:
            if (mNext) mNext->TakeKeyboardFocus();
            return;
        case kKeyEnd: mCaret = static_cast<int>(mText.size()); break;
        case kKeyHome: mCaret = 0; break;
        case kKeyLeft: mCaret = std::max(0, mCaret - 1); break;
        case kKeyRight: mCaret = std::min(static_cast<int>(mText.size()), mCaret + 1); break;
        case kKeyDelete:
            if (mCaret < static_cast<int>(mText.size())) mText.erase(size_t(mCaret), 1);
            break;
        case kKeyInsert:
            if (shift) Paste(Desktop::GetClipboardText());
            break;
        case 'V':
            if (control) Paste(Desktop::GetClipboardText());
            break;
        default: return;
    }
    ShowCaret();
    Changed();
}

float EditBox::TextLeft() const {
    if (mCenter && mFont) return (mRect.w - float(mFont->TextWidth(mText))) / 2.0f;
    return mInsetX;
}

void EditBox::MouseDown(float x, float y, int button) {
    (void)y;
    TakeKeyboardFocus();
    if (button == 1) {
        Paste(Desktop::GetClipboardText());
        return;
    }
    if (button != -1 || !mFont) return;
    // Before the first character whose middle is at or right of the pointer.
    float px = x - TextLeft();
    float left = 0.0f;
    int caret = static_cast<int>(mText.size());
    for (size_t i = 0; i < mText.size(); ++i) {
        float advance = mFont->Advance(static_cast<unsigned char>(mText[i]));
        if (left + advance / 2.0f >= px) {
            caret = static_cast<int>(i);
            break;
        }
        left += advance;
    }
    mCaret = caret;
    ShowCaret();
    Changed();
}

void EditBox::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!mFont || !device) return;
    float left = TextLeft();
    float top = (mRect.h - mFont->mLineHeight) / 2.0f;
    device->SetColor(mTextColor[0], mTextColor[1], mTextColor[2], mTextColor[3]);
    mFont->DrawText(mText, left, top);
    App* app = App::Instance();
    if (app && app->mKeyboardFocus == this && mCaretVisible && !mReadOnly)
        device->FillRect(left + mCaretX, top, 2.0f, mFont->mLineHeight);
    device->ResetColor();
}
