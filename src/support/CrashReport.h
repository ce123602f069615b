// What the crash window does, without its looks: the texts it shows, the Send and Close buttons'
// effects, the report body and its query encoding, and the outcome of each send read from the
// server's tagged answer. The window (in the reporter process) only draws this and feeds it
// presses and the description.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "support/WebClient.h"

class Clock;

class CrashReport {
public:
    // `reportUrl` empty: Send does not contact anything and says where `reportFile` was kept.
    CrashReport(std::string appName, std::string crashText, std::string reportFile, std::string reportUrl,
                Clock* clock = nullptr);
    ~CrashReport();
    CrashReport(const CrashReport&) = delete;
    CrashReport& operator=(const CrashReport&) = delete;

    static constexpr int kMaxDescription = 255;
    static constexpr const char* kAgent = "HollinBugTracker";
    // A server that keeps answering "retry" is asked again this many times per press, no more.
    static constexpr int kMaxRetries = 5;

    // ---- The window's texts -------------------------------------------------------------------------
    static std::string Title(std::string_view appName);           // "%s - Unexpected Error"
    static std::string InformationText();
    static std::string OpeningText(std::string_view appName);
    static std::string CloseLabel(std::string_view appName);      // "Close %s"
    std::string LabelText() const;
    std::string SendLabel() const { return mRenamed ? "Send Now" : "Send Report"; }
    bool SendEnabled() const { return mSendEnabled; }
    bool InformationShown() const { return mInformationShown; }
    bool DescriptionShown() const { return mDescriptionShown; }
    bool StatusShown() const { return mStatusShown; }
    const std::string& StatusText() const { return mStatus; }

    // ---- Events ---------------------------------------------------------------------------------------
    // The Send button, with the description box's text at the time of the press.
    void PressSend(std::string_view description);
    void Close() { mClosed = true; }
    bool Closed() const { return mClosed; }
    // Moves a send forward and shows its outcome when it ends (`waitMs` as WebClient::Pump).
    void Pump(int waitMs = 0);
    bool Sending() const { return mSending; }

    // ---- The report ---------------------------------------------------------------------------------
    // Codes below 32 or above 127 become blanks; at most 255 characters are kept.
    static std::string CleanDescription(std::string_view text);
    // "quorl_slide <ERRORREPORT>" + crash text + ["<USER>" description "</USER>"] + "</ERRORREPORT>"
    static std::string Body(std::string_view appName, std::string_view crashText, std::string_view description);
    // The 25 characters of a query that must not stand as they are become "%xx".
    static std::string Encode(std::string_view body);
    // The outcome of a finished send: 0 sent, 1 the server asks to retry, 2 not accepted.
    static int ReadAnswer(std::string_view reply);

    const std::string& UserText() const { return mUserText; }
    const WebClient* Client() const { return mClient.get(); }
    int SendCount() const { return mSendCount; }

private:
    void Send();
    void ShowOutcome();

    std::string mAppName;
    std::string mCrashText;
    std::string mReportFile;
    std::string mReportUrl;
    Clock* mClock;
    std::string mUserText;
    bool mDescribing = false;
    bool mSentOnce = false;
    bool mSending = false;
    bool mResultShown = false;
    bool mClosed = false;
    bool mRenamed = false;
    bool mSendEnabled = true;
    bool mInformationShown = true;
    bool mDescriptionShown = false;
    bool mStatusShown = false;
    int mRetries = 0;
    int mSendCount = 0;
    std::string mStatus;
    std::unique_ptr<WebClient> mClient;
};
