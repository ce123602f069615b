// The crash window: opening text, information box, description field, status box, and the Send
// and Close buttons, drawn with the game's fonts on a plain white page. Its behaviour lives in
// CrashReport; this file only shows it and passes on presses.
#include "game/CrashReportApp.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/controls/Button.h"
#include "engine/controls/EditBox.h"
#include "engine/core/Version.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/GraphicsFactory.h"
#include "platform/FileSystem.h"
#include "platform/Window.h"
#include "support/CrashReport.h"
#include "support/DebugLog.h"

namespace {

// Line breaks of the report texts, as the fonts take them.
std::string Lines(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

GraphicsDevice* Device() { return GraphicsDevice::Current(); }

void DrawFrame(float x, float y, float w, float h) {
    GraphicsDevice* device = Device();
    if (!device) return;
    device->SetColor(0.55f, 0.58f, 0.65f, 1.0f);
    device->FillRect(x, y, w, h);
    device->SetColor(0.97f, 0.97f, 0.98f, 1.0f);
    device->FillRect(x + 1, y + 1, w - 2, h - 2);
}

// A flat button with its caption; greyed while disabled.
class TextButton : public Button {
public:
    TextButton(const Font* font, std::string caption) : mFont(font), mCaption(std::move(caption)) {}
    void Draw() override {
        GraphicsDevice* device = Device();
        if (!device) return;
        float shade = mDisabled ? 0.75f : ShownFace() == kPressed ? 0.18f : ShownFace() == kHover ? 0.30f : 0.24f;
        device->SetColor(shade, shade + 0.06f, shade + 0.20f, 1.0f);
        device->FillRect(0, 0, mRect.w, mRect.h);
        if (mFont) {
            int w = 0, h = 0;
            mFont->TextSize(mCaption, &w, &h);
            if (mDisabled) device->SetColor(0.42f, 0.47f, 0.58f, 1.0f);
            else device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
            mFont->DrawText(mCaption, (mRect.w - float(w)) / 2, (mRect.h - float(h)) / 2);
        }
        device->ResetColor();
    }
    const Font* mFont;
    std::string mCaption;
};

}  // namespace

// ---- The window ----------------------------------------------------------------------------------

class CrashWindow : public Gadget {
public:
    CrashWindow(CrashReportApp& app, CrashReport& report) : mApp(app), mReport(report) {
        SetRect(0, 0, 800, 600);
        mDescription = new EditBox();
        mDescription->SetRect(kBoxX + 6, kBoxY + 8, kBoxW - 12, 36);
        mDescription->SetFont(&mApp.mSmallFont);
        mDescription->SetTextColor(0.1f, 0.1f, 0.15f);
        mDescription->SetLimitLength(true, CrashReport::kMaxDescription);
        mDescription->mCapitalizeFirst = false;
        mDescription->mAllowEmpty = true;
        mDescription->mMaxWidth = 100000.0f;
        mDescription->mHidden = true;
        mDescription->SetListener(this);
        mSend = new TextButton(&mApp.mFont, mReport.SendLabel());
        mSend->SetRect(kBoxX, 528, 300, 48);
        mSend->SetListener(this);
        mClose = new TextButton(&mApp.mFont, CrashReport::CloseLabel(mApp.mName));
        mClose->SetRect(kBoxX + kBoxW - 300, 528, 300, 48);
        mClose->SetListener(this);
        Refresh();
    }

    void Notify(intptr_t message) override {
        if (message == reinterpret_cast<intptr_t>(mSend)) {
            mReport.PressSend(mDescription->GetText());
            Refresh();
            if (mReport.DescriptionShown()) mDescription->TakeKeyboardFocus();
        } else if (message == reinterpret_cast<intptr_t>(mClose)) {
            mReport.Close();
        }
        Refresh();
    }

    void Update() override {
        mReport.Pump(0);
        Refresh();
        if (mReport.Closed()) mApp.Quit();
    }

    void Draw() override {
        GraphicsDevice* device = Device();
        if (!device) return;
        device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
        device->FillRect(0, 0, 800, 600);
        device->SetColor(0.10f, 0.12f, 0.20f, 1.0f);
        mApp.mSmallFont.DrawText(mOpening, kBoxX, 14);
        mApp.mFont.DrawText(mReport.LabelText(), kBoxX, kBoxY - 36);
        if (mReport.InformationShown()) {
            DrawFrame(kBoxX, kBoxY, kBoxW, kBoxBottom - kBoxY);
            device->SetColor(0.10f, 0.12f, 0.20f, 1.0f);
            mApp.mSmallFont.DrawText(mInformation, kBoxX + 10, kBoxY + 8);
        }
        if (mReport.DescriptionShown()) DrawFrame(kBoxX, kBoxY, kBoxW, 52);
        if (mReport.StatusShown()) {
            float y = mReport.DescriptionShown() ? kBoxY + 68 : kBoxY;
            DrawFrame(kBoxX, y, kBoxW, kBoxBottom - y);
            device->SetColor(0.10f, 0.12f, 0.20f, 1.0f);
            mApp.mSmallFont.DrawText(mStatus, kBoxX + 10, y + 8);
        }
        device->ResetColor();
    }

    // Follows the report's state: shown boxes, button caption and state, wrapped texts.
    void Refresh() {
        mDescription->mHidden = !mReport.DescriptionShown();
        mDescription->mDisabled = !mReport.DescriptionShown();
        static_cast<TextButton*>(mSend)->mCaption = mReport.SendLabel();
        mSend->mDisabled = !mReport.SendEnabled();
        if (mOpening.empty()) {
            mOpening = mApp.mSmallFont.WrapText(CrashReport::OpeningText(mApp.mName), kBoxW);
            mInformation = mApp.mSmallFont.WrapText(Lines(CrashReport::InformationText()), kBoxW - 20);
        }
        if (mStatusSource != mReport.StatusText()) {
            mStatusSource = mReport.StatusText();
            mStatus = mApp.mSmallFont.WrapText(Lines(mStatusSource), kBoxW - 20);
        }
    }

    Button* mSend = nullptr;
    Button* mClose = nullptr;
    EditBox* mDescription = nullptr;

private:
    static constexpr float kBoxX = 30, kBoxY = 172, kBoxW = 740, kBoxBottom = 505;
    CrashReportApp& mApp;
    CrashReport& mReport;
    std::string mOpening, mInformation, mStatus, mStatusSource;
};

// ---- The application --------------------------------------------------------------------------

CrashReportApp::CrashReportApp(std::string reportFile, std::string crashText, std::string reportUrl)
    : mReportFile(reportFile) {
    mReport = std::make_unique<CrashReport>(kGameTitle, std::move(crashText), std::move(reportFile),
                                            std::move(reportUrl), nullptr);
    mName = kGameTitle;
    mDebugKeys = false;
}

CrashReportApp::~CrashReportApp() = default;

Graphics* CrashReportApp::CreateGraphics() {
    // Software drawing: the crash may have come from the accelerated driver.
    bool software = true;
    return GraphicsFactory::Create(mWindow.get(), software);
}

std::string CrashReportApp::DescriptionText() const {
    return mCrashWindow ? mCrashWindow->mDescription->GetText() : std::string();
}

void CrashReportApp::BuildWindow() {
    mFont.Load("Fonts\\font2");
    mSmallFont.Load("Fonts\\font1");
    mCrashWindow = new CrashWindow(*this, *mReport);
    mGadgets.Add(mCrashWindow);
}

void CrashReportApp::Go() {
    if (!Window::InitVideo()) {
        Quit();
        return;
    }
    CreateCursors();
    mWindow = std::make_unique<::Window>();
    ::Window::Options options;
    options.title = CrashReport::Title(mName);
    options.width = 800;
    options.height = 600;
    options.fullscreen = false;
    if (!mWindow->Create(options)) {
        Quit();
        return;
    }
    mWindow->Pump([this](const PlatformEvent& event) { WindowMessage(event); });
    mGraphics = CreateGraphics();
    if (!mGraphics || !mGraphics->Init(mWindow.get())) {
        Quit();
        return;
    }
    mInput.Init();
    BuildWindow();
    ResetTiming();
}

// ---- The reporter process -------------------------------------------------------------------------

namespace {

// "ReportURL" of game.cfg, read without the settings store, which would write the file back.
std::string ReportUrl() {
    std::vector<uint8_t> bytes;
    if (!Files::ReadWhole("game.cfg", bytes)) return std::string();
    std::string text(bytes.begin(), bytes.end());
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t equals = line.find('=');
        if (equals != 9) continue;
        std::string name = line.substr(0, 9);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name == "reporturl") return line.substr(10);
    }
    return std::string();
}

}  // namespace

int RunCrashReporter(const std::string& reportFile) {
    // Adds to the crashed game's log rather than starting a new one.
    DebugLog::Continue();
    std::vector<uint8_t> bytes;
    if (!Files::ReadWhole(reportFile, bytes)) {
        std::fprintf(stderr, "quorlslide: the crash report %s cannot be read\n", reportFile.c_str());
        return 1;
    }
    DebugLog::Log("Crash report kept in %s", reportFile.c_str());
    // The crash may have come from the graphics driver: the window is shown without it.
    setenv("SDL_RENDER_DRIVER", "software", 1);
    if (!Window::InitVideo() || !Window::HasDisplay()) {
        std::fprintf(stderr, "quorlslide: the game crashed; its report is kept in %s\n", reportFile.c_str());
        return 0;
    }
    CrashReportApp app(reportFile, std::string(bytes.begin(), bytes.end()), ReportUrl());
    app.Go();
    if (app.mQuit) {
        std::fprintf(stderr, "quorlslide: the game crashed; its report is kept in %s\n", reportFile.c_str());
        return 1;
    }
    app.Run();
    app.Quit();
    return 0;
}
