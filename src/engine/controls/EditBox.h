// The one-line text field: typing at a blinking caret, limits on length and width, forbidden
// characters, capitalisation, paste from the clipboard, Tab to the next field, Enter to finish.
// The text is plain 8-bit text; only characters the font has are accepted.
#pragma once

#include <string>
#include <string_view>

#include "engine/controls/BlinkTimer.h"
#include "engine/core/Gadget.h"

class Font;

class EditBox : public Gadget {
public:
    EditBox();
    ~EditBox() override;

    void SetListener(Gadget* listener, bool addAsChild = true);
    void SetText(std::string_view text);
    const std::string& GetText() const { return mText; }
    void SetFont(const Font* font);
    void SetTextColor(float r, float g, float b, float a = 1.0f);
    void SetSecondColor(float r, float g, float b, float a = 1.0f);
    void SetLimitWidth(bool limit, float fieldWidth) { mLimitWidth = limit, mFieldWidth = fieldWidth; }
    void SetLimitLength(bool limit, int maxLength) { mLimitLength = limit, mMaxLength = maxLength; }
    void SetForbidden(std::string_view characters) { mForbidden = characters; }
    void SetNext(Gadget* next) { mNext = next; }
    // Inserts text at the caret as if typed, without line breaks or other control characters.
    void Paste(std::string_view text);

    void Update() override;
    void Draw() override;
    void MouseDown(float x, float y, int button) override;
    void KeyDown(int key) override;
    void Char(int c) override;

    std::string mText;
    int mCaret = 0;
    const Font* mFont = nullptr;
    float mTextColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float mSecondColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    // Flips the caret every 25 steps; stepped by the field itself.
    BlinkTimer mBlink{25};
    bool mCaretVisible = true;
    int mBlinkCount = 0;
    float mInsetX = 4.0f;
    float mMaxWidth = 600.0f;
    float mCaretX = 0.0f;  // pixels of text before the caret
    bool mLimitWidth = false;
    float mFieldWidth = 0.0f;
    bool mLimitLength = false;
    int mMaxLength = 0;
    bool mCenter = false;
    bool mAllUpper = false;
    bool mCapitalizeFirst = true;
    bool mAllowEmpty = false;
    bool mReadOnly = false;
    Gadget* mNext = nullptr;
    Gadget* mListener = nullptr;
    std::string mForbidden;

private:
    // The rules for one typed printable character; false when refused (with a beep) or dropped.
    bool Insert(int c);
    void ShowCaret();
    void Changed();
    float TextLeft() const;
    void Refuse();
};
