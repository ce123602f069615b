// The crash window's behaviour: Report -> Describing (first Send) -> Sending (Send Now) ->
// outcome shown -> Sending again on another Send or on the server's "retry".
#include "support/CrashReport.h"

#include <cctype>
#include <cstdio>

#include "support/DebugLog.h"
#include "support/TagText.h"

namespace {

const char kCrLf[] = "\r\n";

}  // namespace

CrashReport::CrashReport(std::string appName, std::string crashText, std::string reportFile, std::string reportUrl,
                         Clock* clock)
    : mAppName(std::move(appName)),
      mCrashText(std::move(crashText)),
      mReportFile(std::move(reportFile)),
      mReportUrl(std::move(reportUrl)),
      mClock(clock) {}

CrashReport::~CrashReport() = default;

std::string CrashReport::Title(std::string_view appName) { return std::string(appName) + " - Unexpected Error"; }

std::string CrashReport::InformationText() {
    return std::string(
               "This report contains information about why the program crashed, how long it was running, and what "
               "your user preferences (within Quorl Slide) are (such as whether you were playing fullscreen or "
               "windowed, and what your sound volume was).  It will not give us any private information about your "
               "computer!") +
           kCrLf + kCrLf +
           "It looks like the program crashed while setting up a new Quorl Slide board within memory!  Please send "
           "this report to us so we can fix this problem as soon as possible!";
}

std::string CrashReport::OpeningText(std::string_view appName) {
    return std::string(appName) +
           " has encountered an unexpected error!  Press the Send button to send this error report to Tarvik games "
           "(an internet connection is required).  This may help us resolve the problem in future releases.";
}

std::string CrashReport::CloseLabel(std::string_view appName) { return "Close " + std::string(appName); }

std::string CrashReport::LabelText() const {
    if (mSending) return "Sending report...";
    if (mDescribing) return "Enter a description of your problem:";
    return "Report:";
}

std::string CrashReport::CleanDescription(std::string_view text) {
    std::string clean(text.substr(0, kMaxDescription));
    for (char& c : clean) {
        unsigned char code = static_cast<unsigned char>(c);
        if (code < 32 || code > 127) c = ' ';
    }
    return clean;
}

std::string CrashReport::Body(std::string_view appName, std::string_view crashText, std::string_view description) {
    std::string body;
    for (char c : appName) body += c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    body += " <ERRORREPORT>";
    body += crashText;
    if (!description.empty()) {
        body += "<USER>";
        body += description;
        body += "</USER>";
    }
    body += "</ERRORREPORT>";
    return body;
}

std::string CrashReport::Encode(std::string_view body) {
    static const std::string_view kEscaped = " $&+,/:;=?@\"<>#%{}|\\^~[]`";
    std::string encoded;
    encoded.reserve(body.size() * 3);
    for (char c : body) {
        if (kEscaped.find(c) != std::string_view::npos) {
            char code[4];
            std::snprintf(code, sizeof code, "%%%.2x", static_cast<unsigned char>(c));
            encoded += code;
        } else {
            encoded += c;
        }
    }
    return encoded;
}

int CrashReport::ReadAnswer(std::string_view reply) {
    TagReader reader;
    reader.SetText(reply);
    for (TagElement element = reader.ReadElement(); element.found; element = reader.ReadElement()) {
        if (element.name != "RESULT") continue;
        if (element.content == "OK") return 0;
        if (element.content == "retry") return 1;
    }
    return 2;
}

void CrashReport::PressSend(std::string_view description) {
    if (!mSendEnabled || mClosed) return;
    if (!mDescribing && !mSentOnce) {
        mDescribing = true;
        mInformationShown = false;
        mDescriptionShown = true;
        mRenamed = true;
        mStatusShown = true;
        mStatus = std::string("Preparing to send report...") + kCrLf + kCrLf +
                  "Please help us out by providing as much information as you can about this crash, then clicking "
                  "'Send Now.'";
        return;
    }
    mUserText = CleanDescription(description);
    mRetries = 0;
    Send();
}

void CrashReport::Send() {
    std::string body = Body(mAppName, mCrashText, mUserText);
    DebugLog::Log("Crash String: %s", body.c_str());
    mDescribing = false;
    mSentOnce = true;
    mStatusShown = true;
    mInformationShown = false;
    mDescriptionShown = false;
    if (mReportUrl.empty()) {
        // Nowhere to send to: the report stays on this machine, and the player is told where.
        mSending = false;
        mResultShown = true;
        mStatus = std::string("No report address is set (ReportURL in game.cfg), so nothing was sent.") + kCrLf +
                  kCrLf + "The report is kept in:" + kCrLf + mReportFile;
        return;
    }
    if (!mClient) {
        mClient = std::make_unique<WebClient>(mClock);
        mClient->mAgent = kAgent;
    }
    mSendEnabled = false;
    std::string url = mReportUrl + "?" + Encode(body);
    DebugLog::Log("Send String: %s", url.c_str());
    ++mSendCount;
    mClient->Get(url, 5000, 65535);
    mSending = true;
    mResultShown = false;
    mStatus = "Contacting Tarvik games ...";
    // A request that failed at once (a bad address) is shown at the next pump.
}

void CrashReport::Pump(int waitMs) {
    if (!mClient) return;
    mClient->Pump(waitMs);
    if (mSending && !mResultShown && !mClient->IsBusy()) ShowOutcome();
}

void CrashReport::ShowOutcome() {
    const std::string& result = mClient->mResult;
    if (mClient->mState == WebClient::kDone) {
        int answer = ReadAnswer(result);
        if (answer == 1 && mRetries < kMaxRetries) {
            ++mRetries;
            Send();
            // Shown above the contact line, so the player sees the server asked for another try.
            mStatus = std::string("Retrying...") + kCrLf + mStatus;
            return;
        }
        if (answer == 0) {
            mStatus = std::string("Error report sent successfully!") + kCrLf + "Thank you for your feedback!" + kCrLf +
                      kCrLf + "You can click the close button to safely shut down this" + kCrLf + "program now.";
        } else {
            mStatus = std::string("Error: Could not contact Tarvik Games reporting server!") + kCrLf + kCrLf +
                      "We're sorry, we could not process your error report.  This" + kCrLf +
                      "may be due to a temporary server outage, or could be because" + kCrLf +
                      "you are not connected to the internet.  You may press" + kCrLf +
                      "Send Report if you wish to try to report this error again," + kCrLf +
                      "or click the close button to close the program.";
            mSendEnabled = true;
        }
    } else {
        mStatus = std::string("Could not send error report:") + kCrLf + result + kCrLf + kCrLf +
                  "We're sorry we couldn't connect to deliver this error" + kCrLf +
                  "report, but we appreciate the effort!  You can click" + kCrLf +
                  "Send Report to try again, or simply click the close" + kCrLf + "button to shut down the program.";
        mSendEnabled = true;
    }
    mResultShown = true;
}
