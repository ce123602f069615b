// The input journal: recording, replaying, and its text file. Sections: [names] [recording]
// [replaying] [values] [writing] [reading].
//
// The file, one entry per line (LF or CR LF):
//   quorlslide replay 1          header and format version
//   game 0.1.0                   the version of the game that recorded it
//   value seed 1234              named start values
//   loaded 143                   loading finished in step 143
//   activate 150 0               the window lost (0) or got (1) the focus before step 150
//   leave 151                    step 151 found the pointer outside the window
//   event 152 ldown 0 400.5 300  a window message: step, name, key or character, x, y
//   keys 153 1d 2a               step 153's keyboard: the scan codes held, in hexadecimal
//   end 500                      the run quit before starting step 500 (always the last line)
#include "engine/core/InputJournal.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/FileSystem.h"
#include "platform/PlatformEvent.h"

namespace {

// ---- [names] ----------------------------------------------------------------------------------------

struct MessageNameEntry {
    int mMessage;
    const char* mName;
};

const MessageNameEntry kMessageNames[] = {
    {kMsgMouseMove, "move"},      {kMsgLeftDown, "ldown"},         {kMsgLeftUp, "lup"},
    {kMsgLeftDoubleClick, "ldouble"}, {kMsgRightDown, "rdown"},    {kMsgRightUp, "rup"},
    {kMsgRightDoubleClick, "rdouble"}, {kMsgMiddleDown, "mdown"},  {kMsgMiddleUp, "mup"},
    {kMsgMiddleDoubleClick, "mdouble"}, {kMsgKeyDown, "keydown"},  {kMsgKeyUp, "keyup"},
    {kMsgChar, "char"},
};

bool ValidValueName(std::string_view name) {
    if (name.empty() || name.size() > 32) return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) return false;
    return true;
}

void AppendNumber(std::string& out, int64_t value) {
    char text[24];
    auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

// Shortest text that reads back as the same float.
void AppendFloat(std::string& out, float value) {
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

// Splits a line at single spaces; false when it has more than `max` words or an empty word.
bool SplitWords(std::string_view line, std::vector<std::string_view>& words, size_t max) {
    words.clear();
    size_t start = 0;
    while (start <= line.size()) {
        size_t space = line.find(' ', start);
        size_t end = space == std::string_view::npos ? line.size() : space;
        if (end == start) return false;
        if (words.size() == max) return false;
        words.push_back(line.substr(start, end - start));
        if (space == std::string_view::npos) break;
        start = space + 1;
    }
    return !words.empty();
}

bool ParseInteger(std::string_view word, int64_t min, int64_t max, int64_t* value) {
    int64_t parsed = 0;
    // A leading '+' is not a number here; from_chars refuses it too.
    auto result = std::from_chars(word.data(), word.data() + word.size(), parsed);
    if (result.ec != std::errc() || result.ptr != word.data() + word.size()) return false;
    if (parsed < min || parsed > max) return false;
    *value = parsed;
    return true;
}

bool ParseCoordinate(std::string_view word, float* value) {
    float parsed = 0.0f;
    auto result = std::from_chars(word.data(), word.data() + word.size(), parsed);
    if (result.ec != std::errc() || result.ptr != word.data() + word.size()) return false;
    if (!std::isfinite(parsed) || std::fabs(parsed) > InputJournal::kMaxCoordinate) return false;
    *value = parsed;
    return true;
}

}  // namespace

const char* InputJournal::MessageName(int message) {
    for (const MessageNameEntry& entry : kMessageNames)
        if (entry.mMessage == message) return entry.mName;
    return nullptr;
}

int InputJournal::MessageFromName(std::string_view name) {
    for (const MessageNameEntry& entry : kMessageNames)
        if (name == entry.mName) return entry.mMessage;
    return 0;
}

// ---- [recording] ------------------------------------------------------------------------------------

void InputJournal::StartRecording() {
    mMode = Mode::kRecording;
    mEntries.clear();
    mKeyStates.clear();
    mNext = 0;
    mStepsStarted = 0;
    mCurrentStep = -1;
    mEndStep = kMaxStep;
    mKeys = KeyState{};
    mTruncated = false;
}

int64_t InputJournal::BeginStep() {
    int64_t outer = mCurrentStep;
    mCurrentStep = mStepsStarted;
    if (mStepsStarted < kMaxStep) ++mStepsStarted;
    return outer;
}

bool InputJournal::Append(const Entry& entry) {
    // Input handled outside any step could not be given back at one.
    if (mMode != Mode::kRecording || mTruncated || entry.mStep < 0) return false;
    if (mEntries.size() >= kMaxEntries) {
        // The file could not be read back beyond this; the replay ends where the record does.
        mTruncated = true;
        mEndStep = mStepsStarted;
        return false;
    }
    mEntries.push_back(entry);
    return true;
}

void InputJournal::RecordEvent(int message, int32_t value, float x, float y) {
    if (!MessageName(message)) return;
    // Positions far outside any screen (the "nowhere" point) keep their meaning within bounds.
    auto clamp = [](float v) {
        if (!std::isfinite(v)) return 0.0f;
        return std::fmax(-kMaxCoordinate, std::fmin(kMaxCoordinate, v));
    };
    Entry entry;
    entry.mKind = Kind::kEvent;
    entry.mStep = mCurrentStep;
    entry.mMessage = message;
    entry.mValue = value;
    entry.mX = clamp(x);
    entry.mY = clamp(y);
    Append(entry);
}

void InputJournal::RecordKeys(const uint8_t state[256]) {
    if (mMode != Mode::kRecording) return;
    KeyState keys{};
    for (int code = 0; code < 256; ++code)
        if (state[code] & 0x80) keys[size_t(code >> 6)] |= uint64_t(1) << (code & 63);
    if (keys == mKeys) return;
    Entry entry;
    entry.mKind = Kind::kKeys;
    entry.mStep = mCurrentStep;
    entry.mValue = int32_t(mKeyStates.size());
    if (Append(entry)) {
        mKeyStates.push_back(keys);
        mKeys = keys;
    }
}

void InputJournal::RecordActivate(bool active) {
    Entry entry;
    entry.mKind = Kind::kActivate;
    entry.mStep = mStepsStarted;
    entry.mMessage = active ? 1 : 0;
    Append(entry);
}

void InputJournal::RecordPointerLeft() {
    Entry entry;
    entry.mKind = Kind::kPointerLeft;
    entry.mStep = mCurrentStep;
    Append(entry);
}

void InputJournal::RecordLoaded() {
    Entry entry;
    entry.mKind = Kind::kLoaded;
    entry.mStep = mCurrentStep;
    Append(entry);
}

void InputJournal::FinishRecording() {
    if (mMode != Mode::kRecording) return;
    if (!mTruncated) mEndStep = mStepsStarted;
}

// ---- [replaying] ------------------------------------------------------------------------------------

const InputJournal::Entry* InputJournal::Take(Kind kind, int64_t step) {
    if (mMode != Mode::kReplaying || mNext >= mEntries.size()) return nullptr;
    const Entry& entry = mEntries[mNext];
    if (entry.mKind != kind || entry.mStep != step) return nullptr;
    ++mNext;
    return &entry;
}

bool InputJournal::TakeEvent(Entry* entry) {
    const Entry* taken = Take(Kind::kEvent, mCurrentStep);
    if (!taken) return false;
    *entry = *taken;
    return true;
}

bool InputJournal::TakeActivate(bool* active) {
    const Entry* taken = Take(Kind::kActivate, mStepsStarted);
    if (!taken) return false;
    *active = taken->mMessage != 0;
    return true;
}

void InputJournal::TakeKeys(uint8_t state[256]) {
    if (const Entry* taken = Take(Kind::kKeys, mCurrentStep)) mKeys = mKeyStates[size_t(taken->mValue)];
    for (int code = 0; code < 256; ++code)
        state[code] = (mKeys[size_t(code >> 6)] >> (code & 63)) & 1 ? 0x80 : 0;
}

// ---- [values] ---------------------------------------------------------------------------------------

bool InputJournal::SetValue(const std::string& name, int64_t value) {
    if (!ValidValueName(name)) return false;
    for (auto& [key, stored] : mValues) {
        if (key == name) {
            stored = value;
            return true;
        }
    }
    if (mValues.size() >= kMaxValues) return false;
    mValues.emplace_back(name, value);
    return true;
}

bool InputJournal::GetValue(const std::string& name, int64_t* value) const {
    for (const auto& [key, stored] : mValues) {
        if (key == name) {
            *value = stored;
            return true;
        }
    }
    return false;
}

// ---- [writing] --------------------------------------------------------------------------------------

std::string InputJournal::Serialize(const std::string& gameVersion) const {
    std::string out;
    out.reserve(64 + mEntries.size() * 24);
    out += kHeader;
    out += ' ';
    AppendNumber(out, kVersion);
    out += '\n';
    // A version with a space or a line break in it would not read back as one word.
    bool plain = !gameVersion.empty() && gameVersion.size() <= 64 &&
                 gameVersion.find_first_of(" \r\n") == std::string::npos;
    if (plain) out += "game " + gameVersion + "\n";
    for (const auto& [name, value] : mValues) {
        out += "value " + name + " ";
        AppendNumber(out, value);
        out += '\n';
    }
    for (const Entry& entry : mEntries) {
        switch (entry.mKind) {
        case Kind::kEvent:
            out += "event ";
            AppendNumber(out, entry.mStep);
            out += ' ';
            out += MessageName(entry.mMessage);
            out += ' ';
            AppendNumber(out, entry.mValue);
            out += ' ';
            AppendFloat(out, entry.mX);
            out += ' ';
            AppendFloat(out, entry.mY);
            break;
        case Kind::kKeys: {
            out += "keys ";
            AppendNumber(out, entry.mStep);
            const KeyState& keys = mKeyStates[size_t(entry.mValue)];
            for (int code = 0; code < 256; ++code) {
                if (!((keys[size_t(code >> 6)] >> (code & 63)) & 1)) continue;
                const char* digits = "0123456789abcdef";
                out += ' ';
                out += digits[code >> 4];
                out += digits[code & 15];
            }
            break;
        }
        case Kind::kActivate:
            out += "activate ";
            AppendNumber(out, entry.mStep);
            out += entry.mMessage ? " 1" : " 0";
            break;
        case Kind::kPointerLeft:
            out += "leave ";
            AppendNumber(out, entry.mStep);
            break;
        case Kind::kLoaded:
            out += "loaded ";
            AppendNumber(out, entry.mStep);
            break;
        }
        out += '\n';
    }
    out += "end ";
    AppendNumber(out, mEndStep);
    out += '\n';
    return out;
}

bool InputJournal::Save(const std::string& path, const std::string& gameVersion, std::string* error) const {
    std::string text = Serialize(gameVersion);
    if (Files::WriteWholeAtomic(path, text.data(), text.size())) return true;
    if (error) *error = "cannot write " + path;
    return false;
}

// ---- [reading] --------------------------------------------------------------------------------------

bool InputJournal::Parse(std::string_view text, std::string* error) {
    InputJournal parsed;
    parsed.mMode = Mode::kReplaying;
    std::string problem;
    size_t lineNumber = 0;
    bool ended = false;
    bool loadedSeen = false;
    std::vector<std::string_view> words;

    auto fail = [&](const std::string& what) {
        if (error) *error = lineNumber > 0 ? "line " + std::to_string(lineNumber) + ": " + what : what;
        return false;
    };

    if (int64_t(text.size()) > kMaxFileBytes) return fail("the file is larger than a replay can be");
    if (text.find('\0') != std::string_view::npos) return fail("the file holds a zero byte: it is not a replay");

    size_t position = 0;
    while (position < text.size()) {
        ++lineNumber;
        size_t newline = text.find('\n', position);
        if (newline == std::string_view::npos) return fail("the last line is cut off (the file is truncated)");
        std::string_view line = text.substr(position, newline - position);
        position = newline + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > kMaxLineLength) return fail("the line is too long");
        if (ended) return fail("text after the end line");

        if (lineNumber == 1) {
            std::string expected = std::string(kHeader) + " ";
            if (line.substr(0, expected.size()) != expected) return fail("this is not a replay file");
            int64_t version = 0;
            if (!ParseInteger(line.substr(expected.size()), 0, 1000000, &version))
                return fail("the format version is not a number");
            if (version != kVersion)
                return fail("format version " + std::to_string(version) + " is not read by this game (it reads " +
                            std::to_string(kVersion) + ")");
            continue;
        }
        if (!SplitWords(line, words, 260)) return fail("the line is empty or has stray spaces");
        std::string_view kind = words[0];

        if (kind == "game") {
            if (words.size() != 2 || words[1].size() > 64) return fail("\"game\" takes one version");
            if (!parsed.mEntries.empty() || !parsed.mRecordedVersion.empty()) return fail("\"game\" comes once, first");
            parsed.mRecordedVersion = std::string(words[1]);
            continue;
        }
        if (kind == "value") {
            int64_t value = 0;
            if (words.size() != 3 || !ValidValueName(words[1]))
                return fail("\"value\" takes a name (a-z, 0-9, '-') and a number");
            if (!ParseInteger(words[2], INT64_MIN, INT64_MAX, &value)) return fail("the value is not a whole number");
            if (!parsed.mEntries.empty()) return fail("values come before the entries");
            int64_t existing = 0;
            if (parsed.GetValue(std::string(words[1]), &existing)) return fail("the value is given twice");
            if (!parsed.SetValue(std::string(words[1]), value)) return fail("too many values");
            continue;
        }

        if (words.size() < 2) return fail("the entry has no step");
        int64_t step = 0;
        if (!ParseInteger(words[1], 0, kMaxStep, &step)) return fail("the step is not a number from 0 to 2147483647");
        if (kind == "end") {
            if (words.size() != 2) return fail("\"end\" takes one step");
            for (const Entry& entry : parsed.mEntries)
                if (entry.mStep > step) return fail("an entry lies beyond the end step");
            parsed.mEndStep = step;
            ended = true;
            continue;
        }
        if (parsed.mEntries.size() >= kMaxEntries) return fail("too many entries");

        Entry entry;
        entry.mStep = step;
        if (kind == "event") {
            int64_t value = 0;
            entry.mKind = Kind::kEvent;
            if (words.size() != 6) return fail("\"event\" takes a step, a message, a number and x and y");
            entry.mMessage = MessageFromName(words[2]);
            if (entry.mMessage == 0) return fail("unknown message \"" + std::string(words[2].substr(0, 32)) + "\"");
            if (!ParseInteger(words[3], INT32_MIN, INT32_MAX, &value)) return fail("the key or character is not a number");
            entry.mValue = int32_t(value);
            if (!ParseCoordinate(words[4], &entry.mX) || !ParseCoordinate(words[5], &entry.mY))
                return fail("a position is not a number within a million pixels");
        } else if (kind == "keys") {
            entry.mKind = Kind::kKeys;
            KeyState keys{};
            for (size_t i = 2; i < words.size(); ++i) {
                int64_t code = 0;
                std::string_view word = words[i];
                auto result = std::from_chars(word.data(), word.data() + word.size(), code, 16);
                if (word.size() != 2 || result.ec != std::errc() || result.ptr != word.data() + word.size() || code < 0)
                    return fail("a scan code is not two hexadecimal digits");
                keys[size_t(code >> 6)] |= uint64_t(1) << (code & 63);
            }
            entry.mValue = int32_t(parsed.mKeyStates.size());
            parsed.mKeyStates.push_back(keys);
        } else if (kind == "activate") {
            int64_t active = 0;
            entry.mKind = Kind::kActivate;
            if (words.size() != 3 || !ParseInteger(words[2], 0, 1, &active)) return fail("\"activate\" takes a step and 0 or 1");
            entry.mMessage = int(active);
        } else if (kind == "leave" || kind == "loaded") {
            entry.mKind = kind == "leave" ? Kind::kPointerLeft : Kind::kLoaded;
            if (words.size() != 2) return fail("\"" + std::string(kind) + "\" takes one step");
            if (entry.mKind == Kind::kLoaded) {
                if (loadedSeen) return fail("loading finishes only once");
                loadedSeen = true;
            }
        } else {
            return fail("unknown entry \"" + std::string(kind.substr(0, 32)) + "\"");
        }
        parsed.mEntries.push_back(entry);
    }
    if (lineNumber == 0) return fail("the file is empty");
    if (!ended) {
        lineNumber = 0;
        return fail("the file has no end line: it is cut short");
    }
    *this = std::move(parsed);
    return true;
}

bool InputJournal::Load(const std::string& path, std::string* error) {
    int64_t size = Files::FileSize(path);
    if (size < 0) {
        if (error) *error = "cannot read " + path;
        return false;
    }
    if (size > kMaxFileBytes) {
        if (error) *error = path + ": the file is larger than a replay can be";
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!Files::ReadWhole(path, bytes, size_t(kMaxFileBytes))) {
        if (error) *error = "cannot read " + path;
        return false;
    }
    std::string problem;
    if (!Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &problem)) {
        if (error) *error = path + ": " + problem;
        return false;
    }
    return true;
}
