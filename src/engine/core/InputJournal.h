// The input journal: every input the engine handles, tagged with the update step that handled
// it, so a run can be written to a file and played again step for step. Inputs are the queued
// window messages (mouse positions in logical pixels, keys, typed characters), keyboard snapshots
// when they change, focus changes, the pointer leaving the window, the step on which loading
// finished, and a few named start values (the random seed, how play starts). The recording ends
// with the step on which the run quit.
//
// Steps are numbered in the order they start, nested steps (modal loops inside a step) included;
// a step that resumes after a nested one keeps its own number. A replay asks for its inputs at the
// same points in the same order, so it consumes the entries front to back; an entry that is not
// asked for where it was recorded holds the rest back (the run went another way), and
// UnusedEntries tells how many were left.
//
// The file is text, one entry per line; it is untrusted input: sizes, counts and values are
// bounded and a damaged file is refused with a message naming its line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class InputJournal {
public:
    enum class Mode { kOff, kRecording, kReplaying };
    enum class Kind : uint8_t { kEvent, kKeys, kActivate, kPointerLeft, kLoaded };

    struct Entry {
        Kind mKind = Kind::kEvent;
        int64_t mStep = 0;
        int mMessage = 0;    // kEvent: the window message; kActivate: 1 active, 0 not
        int32_t mValue = 0;  // kEvent: key code or character; kKeys: index into the key states
        float mX = 0.0f, mY = 0.0f;
    };
    // Scan codes held down, one bit each.
    using KeyState = std::array<uint64_t, 4>;

    // ---- limits of a file (and of a recording) ------------------------------------------------
    static constexpr const char* kHeader = "quorlslide replay";
    static constexpr int kVersion = 1;
    static constexpr int64_t kMaxFileBytes = int64_t(256) << 20;
    static constexpr size_t kMaxEntries = 4000000;
    static constexpr size_t kMaxLineLength = 1024;
    static constexpr int64_t kMaxStep = 2147483647;
    static constexpr size_t kMaxValues = 64;
    static constexpr float kMaxCoordinate = 1000000.0f;

    InputJournal() = default;

    Mode GetMode() const { return mMode; }
    bool Recording() const { return mMode == Mode::kRecording; }
    bool Replaying() const { return mMode == Mode::kReplaying; }
    void StartRecording();

    // ---- steps ------------------------------------------------------------------------------------
    // A step starts: it gets the next number, which CurrentStep gives until EndStep hands back
    // the number of the step it was nested in (the one BeginStep returned).
    int64_t BeginStep();
    void EndStep(int64_t outerStep) { mCurrentStep = outerStep; }
    int64_t CurrentStep() const { return mCurrentStep; }
    // Steps started so far; the next step gets this number.
    int64_t StepsStarted() const { return mStepsStarted; }
    // Replay: the recorded run quit before starting this step.
    bool ReplayOver() const { return mMode == Mode::kReplaying && mStepsStarted >= mEndStep; }

    // ---- recording --------------------------------------------------------------------------------
    void RecordEvent(int message, int32_t value, float x, float y);
    // Records the snapshot when it differs from the last one recorded.
    void RecordKeys(const uint8_t state[256]);
    // A focus change, handled before the next step starts.
    void RecordActivate(bool active);
    void RecordPointerLeft();
    void RecordLoaded();
    // The run quits: the recording ends before the next step.
    void FinishRecording();
    // Entries were dropped because the recording reached kMaxEntries; its end was moved there.
    bool Truncated() const { return mTruncated; }

    // ---- replaying --------------------------------------------------------------------------------
    // The next entry, when it is of `kind` for the current step (or, for kActivate, for the step
    // about to start); it is consumed.
    bool TakeEvent(Entry* entry);
    bool TakeActivate(bool* active);
    bool TakePointerLeft() { return Take(Kind::kPointerLeft, mCurrentStep) != nullptr; }
    bool TakeLoaded() { return Take(Kind::kLoaded, mCurrentStep) != nullptr; }
    // Applies the current step's keyboard entry, if any, and gives the keyboard as recorded.
    void TakeKeys(uint8_t state[256]);
    size_t UnusedEntries() const { return mEntries.size() - mNext; }

    // ---- start values -----------------------------------------------------------------------------
    // Names are 1 to 32 characters of a-z, 0-9 and '-'.
    bool SetValue(const std::string& name, int64_t value);
    bool GetValue(const std::string& name, int64_t* value) const;

    // ---- the file -----------------------------------------------------------------------------------
    // The whole recording as text; `gameVersion` goes on its second line.
    std::string Serialize(const std::string& gameVersion) const;
    // Replaces this journal by the text's recording, ready to replay. False with `error` (naming
    // the line) when the text is damaged; this journal is then left as it was.
    bool Parse(std::string_view text, std::string* error);
    // The version of the game that made the parsed recording ("" when it did not say).
    const std::string& RecordedVersion() const { return mRecordedVersion; }
    // Reads and parses a file (a real path); `error` says why it was refused.
    bool Load(const std::string& path, std::string* error);
    // Writes the recording to a real path atomically.
    bool Save(const std::string& path, const std::string& gameVersion, std::string* error) const;

    const std::vector<Entry>& Entries() const { return mEntries; }
    int64_t EndStep() const { return mEndStep; }

    // The name of a window message in the file ("move", "ldown", "keydown", ...); null for
    // messages a journal does not hold.
    static const char* MessageName(int message);
    // The message for a name; 0 when unknown.
    static int MessageFromName(std::string_view name);

private:
    const Entry* Take(Kind kind, int64_t step);
    bool Append(const Entry& entry);

    Mode mMode = Mode::kOff;
    std::vector<Entry> mEntries;
    std::vector<KeyState> mKeyStates;
    std::vector<std::pair<std::string, int64_t>> mValues;
    std::string mRecordedVersion;
    size_t mNext = 0;
    int64_t mStepsStarted = 0;
    int64_t mCurrentStep = -1;
    int64_t mEndStep = kMaxStep;
    KeyState mKeys{};  // last recorded or replayed keyboard
    bool mTruncated = false;
};
