// The input journal: its file read back exactly, damaged files refused with the line at fault,
// a replay that goes another way holding back the rest, and a run through the real loop (mouse,
// keys held, focus changes, the pointer leaving, a modal loop inside a step) replayed by a second
// application that must see the same inputs at the same steps and end in the same state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppTestDriver.h"
#include "engine/core/InputJournal.h"
#include "engine/core/StateHash.h"
#include "platform/FileSystem.h"
#include "platform/KeyCodes.h"
#include "Recorder.h"
#include "TestSupport.h"

namespace {

const char* const kGood =
    "quorlslide replay 1\n"
    "game 0.1.0\n"
    "value seed 4294967295\n"
    "value start-level -1000\n"
    "loaded 3\n"
    "activate 4 0\n"
    "leave 5\n"
    "event 5 move 0 400.25 -9999\n"
    "event 5 char 233 0 0\n"
    "keys 6 1d 2a ff\n"
    "keys 7\n"
    "end 9\n";

TEST(InputJournalTest, AFileReadsBackEntryForEntryAndWritesTheSameText) {
    InputJournal journal;
    std::string error;
    ASSERT_TRUE(journal.Parse(kGood, &error)) << error;
    EXPECT_EQ(journal.RecordedVersion(), "0.1.0");
    int64_t value = 0;
    ASSERT_TRUE(journal.GetValue("seed", &value));
    EXPECT_EQ(value, 4294967295ll);
    ASSERT_TRUE(journal.GetValue("start-level", &value));
    EXPECT_EQ(value, -1000);
    EXPECT_FALSE(journal.GetValue("start-play", &value));
    ASSERT_EQ(journal.Entries().size(), 7u);
    EXPECT_EQ(journal.EndStep(), 9);
    EXPECT_EQ(journal.Serialize("0.1.0"), kGood);
    // CR LF line ends read the same.
    std::string crlf;
    for (char c : std::string(kGood)) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    InputJournal again;
    ASSERT_TRUE(again.Parse(crlf, &error)) << error;
    EXPECT_EQ(again.Serialize("0.1.0"), kGood);
}

TEST(InputJournalTest, RecordedEntriesComeBackAtTheirStepsWithExactPositions) {
    InputJournal journal;
    journal.StartRecording();
    journal.SetValue("seed", 12);
    uint8_t keys[256] = {};
    journal.RecordEvent(kMsgLeftUp, 0, 1, 1);  // handled outside any step: left out
    journal.RecordActivate(true);      // before step 0
    journal.BeginStep();               // step 0
    journal.RecordLoaded();
    journal.RecordEvent(kMsgLeftDown, 0, 0.1f, 1.0f / 3.0f);
    journal.RecordKeys(keys);          // nothing held: nothing recorded
    keys[kScanLeftShift] = 0x80;
    journal.RecordKeys(keys);
    int64_t outer = journal.BeginStep();  // step 1, nested in step 0
    journal.RecordEvent(kMsgChar, 0x1F600, 0, 0);
    journal.EndStep(outer);            // back in step 0
    journal.RecordEvent(kMsgKeyDown, kKeyEnter, 0, 0);
    journal.RecordKeys(keys);          // unchanged: nothing recorded
    journal.RecordEvent(kMsgActivate, 1, 0, 0);  // not an input message: left out
    journal.RecordEvent(kMsgMouseMove, 0, -1e30f, 1e30f);
    journal.FinishRecording();
    EXPECT_EQ(journal.EndStep(), 2);

    InputJournal replay;
    std::string error;
    ASSERT_TRUE(replay.Parse(journal.Serialize("x"), &error)) << error;
    EXPECT_EQ(replay.Entries().size(), 7u);
    bool active = false;
    ASSERT_TRUE(replay.TakeActivate(&active));
    EXPECT_TRUE(active);
    replay.BeginStep();
    EXPECT_FALSE(replay.ReplayOver());
    EXPECT_TRUE(replay.TakeLoaded());
    InputJournal::Entry entry;
    ASSERT_TRUE(replay.TakeEvent(&entry));
    EXPECT_EQ(entry.mMessage, kMsgLeftDown);
    EXPECT_EQ(entry.mX, 0.1f);
    EXPECT_EQ(entry.mY, 1.0f / 3.0f);
    EXPECT_FALSE(replay.TakeEvent(&entry)) << "the keyboard entry comes first";
    uint8_t state[256];
    replay.TakeKeys(state);
    EXPECT_EQ(state[kScanLeftShift], 0x80);
    EXPECT_EQ(state[kScanRightShift], 0);
    outer = replay.BeginStep();
    ASSERT_TRUE(replay.TakeEvent(&entry));
    EXPECT_EQ(entry.mValue, 0x1F600);
    replay.EndStep(outer);
    ASSERT_TRUE(replay.TakeEvent(&entry));
    EXPECT_EQ(entry.mValue, kKeyEnter);
    ASSERT_TRUE(replay.TakeEvent(&entry));
    EXPECT_EQ(entry.mX, -InputJournal::kMaxCoordinate);
    EXPECT_EQ(entry.mY, InputJournal::kMaxCoordinate);
    EXPECT_EQ(replay.UnusedEntries(), 0u);
    EXPECT_TRUE(replay.ReplayOver()) << "the recorded run quit before a third step";
}

TEST(InputJournalTest, AReplayThatGoesAnotherWayHoldsTheRestBack) {
    InputJournal replay;
    std::string error;
    ASSERT_TRUE(replay.Parse("quorlslide replay 1\nevent 0 ldown 0 1 1\nevent 2 lup 0 1 1\nend 5\n", &error)) << error;
    InputJournal::Entry entry;
    replay.BeginStep();
    replay.BeginStep();  // step 0 never asked for its input
    EXPECT_FALSE(replay.TakeEvent(&entry));
    replay.BeginStep();
    EXPECT_FALSE(replay.TakeEvent(&entry)) << "the step-0 entry stands in front";
    EXPECT_EQ(replay.UnusedEntries(), 2u);
}

TEST(InputJournalTest, DamagedFilesAreRefusedNamingTheLine) {
    const std::string head = "quorlslide replay 1\n";
    struct Case {
        std::string text;
        const char* says;
    } cases[] = {
        {"", "empty"},
        {"quorlslide replay 1", "line 1: the last line is cut off"},
        {head, "no end line"},
        {head + "event 1 ldown 0 1 1\n", "no end line"},
        {head + "end 5", "line 2: the last line is cut off"},
        {head + "end 5\nend 6\n", "line 3: text after the end line"},
        {"quorlslide replay 2\nend 1\n", "line 1: format version 2"},
        {"quorlslide replay x\nend 1\n", "line 1: the format version"},
        {"PNG\nend 1\n", "line 1: this is not a replay"},
        {std::string("quorlslide replay 1\nend 1\n\0", 27), "zero byte"},
        {head + "\nend 1\n", "line 2: the line is empty"},
        {head + "end  1\n", "line 2: the line is empty or has stray spaces"},
        {head + "end 1 \n", "stray spaces"},
        {head + "jump 1\nend 2\n", "line 2: unknown entry \"jump\""},
        {head + "end -1\n", "line 2: the step"},
        {head + "end 2147483648\n", "line 2: the step"},
        {head + "end +5\n", "line 2: the step"},
        {head + "event 9 ldown 0 1 1\nend 5\n", "line 3: an entry lies beyond the end step"},
        {head + "event 1 fly 0 1 1\nend 5\n", "line 2: unknown message \"fly\""},
        {head + "event 1 ldown 0 1\nend 5\n", "line 2: \"event\" takes"},
        {head + "event 1 ldown 0 nan 1\nend 5\n", "line 2: a position"},
        {head + "event 1 ldown 0 inf 1\nend 5\n", "line 2: a position"},
        {head + "event 1 ldown 0 1 1000001\nend 5\n", "line 2: a position"},
        {head + "event 1 keydown 2147483648 0 0\nend 5\n", "line 2: the key or character"},
        {head + "keys 1 1d 100\nend 5\n", "line 2: a scan code"},
        {head + "keys 1 g1\nend 5\n", "line 2: a scan code"},
        {head + "keys 1 -1\nend 5\n", "line 2: a scan code"},
        {head + "activate 1 2\nend 5\n", "line 2: \"activate\""},
        {head + "leave 1 2\nend 5\n", "line 2: \"leave\" takes one step"},
        {head + "loaded 1\nloaded 2\nend 5\n", "line 3: loading finishes only once"},
        {head + "value seed 1\nvalue seed 2\nend 5\n", "line 3: the value is given twice"},
        {head + "value Seed 1\nend 5\n", "line 2: \"value\" takes a name"},
        {head + "value seed 99999999999999999999\nend 5\n", "line 2: the value is not a whole number"},
        {head + "leave 1\nvalue seed 1\nend 5\n", "line 3: values come before the entries"},
        {head + "game 1\ngame 2\nend 5\n", "line 3: \"game\" comes once"},
        {head + "keys 1" + std::string(1100, ' ') + "\nend 5\n", "line 2: the line is too long"},
    };
    for (const Case& c : cases) {
        InputJournal journal;
        std::string error;
        EXPECT_FALSE(journal.Parse(c.text, &error)) << c.text.substr(0, 80);
        EXPECT_NE(error.find(c.says), std::string::npos) << "expected \"" << c.says << "\", got \"" << error << "\"";
        EXPECT_EQ(journal.GetMode(), InputJournal::Mode::kOff) << "a refused file leaves the journal as it was";
    }
    // Too many values.
    std::string many = head;
    for (int i = 0; i <= int(InputJournal::kMaxValues); ++i) many += "value v" + std::to_string(i) + " 1\n";
    InputJournal journal;
    std::string error;
    EXPECT_FALSE(journal.Parse(many + "end 1\n", &error));
    EXPECT_NE(error.find("too many values"), std::string::npos) << error;
}

TEST(InputJournalTest, FilesAreReadFromRealPathsAndMissingOnesNamed) {
    std::string dir = Files::DataRoot() + "/journal-files";
    InputJournal journal;
    journal.StartRecording();
    journal.BeginStep();
    journal.RecordEvent(kMsgRightUp, 0, 3, 4);
    journal.FinishRecording();
    std::string error;
    ASSERT_TRUE(journal.Save(dir + "/a.replay", "1.0", &error)) << error;
    InputJournal loaded;
    ASSERT_TRUE(loaded.Load(dir + "/a.replay", &error)) << error;
    EXPECT_EQ(loaded.Entries().size(), 1u);
    EXPECT_FALSE(loaded.Load(dir + "/missing.replay", &error));
    EXPECT_NE(error.find("cannot read " + dir + "/missing.replay"), std::string::npos) << error;
    EXPECT_FALSE(loaded.Load(dir, &error)) << "a folder is not a replay";
    TestSupport::WriteBytes(dir + "/bad.replay", "quorlslide replay 1\nend x\n");
    EXPECT_FALSE(loaded.Load(dir + "/bad.replay", &error));
    EXPECT_EQ(error, dir + "/bad.replay: line 2: the step is not a number from 0 to 2147483647");
}

// ---- through the real loop ----------------------------------------------------------------------

// Opens a modal loop on the key M; a typed character ends it.
class ModalOpener : public Recorder {
public:
    using Recorder::Recorder;
    void KeyDown(int key) override {
        Recorder::KeyDown(key);
        if (key != 'M') return;
        auto* modal = new Closer("modal", mLog, 300, 300, 100, 100);
        App::Instance()->mGadgets.Add(modal);
        modal->TakeKeyboardFocus();
        modal->RunModal();
        modal->Kill();
        TakeKeyboardFocus();
    }
    void Draw() override {}

private:
    class Closer : public Recorder {
    public:
        using Recorder::Recorder;
        void Char(int c) override {
            Recorder::Char(c);
            EndModal(c);
        }
        void Draw() override {}
    };
};

// What reached the gadgets, step by step: their log, with the keyboard as each step saw it.
// The log outlives the application, whose gadgets write into it as they are destroyed.
struct Session {
    explicit Session(InputJournal* journal) : drive(false) {
        drive.app->SetJournal(journal);
        drive.Start();
        auto* probe = new ModalOpener("probe", &log, 0, 0, 800, 600);
        probe->onUpdate = [this](Recorder& r) {
            const InputManager& input = drive.app->mInput;
            r.Note(std::string("keys") + (input.IsDown(kScanLeftShift) ? " shift" : "") +
                   (input.WasPressed(kScanLeftShift) ? " pressed" : "") + (drive.app->mActive ? "" : " inactive"));
        };
        drive.app->mGadgets.Add(probe);
        probe->TakeKeyboardFocus();
    }
    std::vector<std::string> log;
    AppTestDriver<> drive;
};

TEST(InputJournalTest, AReplayedRunSeesTheSameInputsAtTheSameStepsAndEndsInTheSameState) {
    InputJournal recording;
    recording.StartRecording();
    std::vector<std::string> liveLog;
    std::string liveState;
    {
        Session live(&recording);
        AppTestDriver<>& drive = live.drive;
        drive.MoveTo(10, 10);
        drive.Step();
        drive.DragFromTo(100, 100, 180, 120);
        drive.Hold(kScanLeftShift);
        drive.Step(2);
        drive.Hold(kScanLeftShift, false);
        drive.Step();
        drive.Focus(false);
        drive.RunFrame();
        drive.Step(3);
        drive.Focus(true);
        drive.Step();
        // A modal loop opened by a key; the character queued with it ends the loop from inside.
        drive.KeyPress('M');
        drive.Type("x");
        drive.Step(3);
        drive.MoveTo(700, 500);
        drive.Step();
        drive.W().PushMouseLeave();
        drive.Step(12);
        drive.Close();
        drive.Step();
        ASSERT_TRUE(drive.app->mQuit);
        liveState = drive.app->StateHashText();
        liveLog = live.log;
    }
    recording.FinishRecording();
    std::string text = recording.Serialize("test");
    ASSERT_NE(text.find("\nleave "), std::string::npos) << text;
    ASSERT_NE(text.find("\nactivate "), std::string::npos) << text;
    ASSERT_NE(text.find("\nkeys "), std::string::npos) << text;
    EXPECT_NE(Only(liveLog, "modal char 120").size(), 0u);

    InputJournal replay;
    std::string error;
    ASSERT_TRUE(replay.Parse(text, &error)) << error;
    Session again(&replay);
    AppTestDriver<>& drive = again.drive;
    // What the window delivers during a replay is not played.
    drive.Press(5, 5);
    drive.KeyPress('M');
    drive.Hold(kScanRightShift);
    drive.Focus(false);
    for (int i = 0; i < 2000 && !drive.app->mQuit; ++i) drive.Step();
    ASSERT_TRUE(drive.app->mQuit) << "the replay did not quit where the recording did";
    EXPECT_EQ(again.log, liveLog);
    EXPECT_EQ(drive.app->StateHashText(), liveState);
    EXPECT_EQ(replay.UnusedEntries(), 0u);
}

TEST(InputJournalTest, TheStateDigestSeesGadgetsTheirPlaceAndTheirOwnState) {
    class Counter : public Gadget {
    public:
        void HashState(StateHash& hash) const override { hash.AddInt(mCount); }
        int mCount = 0;
    };
    AppTestDriver<> drive;
    std::string empty = drive.app->StateHashText();
    auto* counter = new Counter;
    counter->mName = "counter";
    drive.app->mGadgets.Add(counter);
    std::string one = drive.app->StateHashText();
    EXPECT_NE(one, empty);
    EXPECT_EQ(drive.app->StateHashText(), one) << "the digest is stable";
    counter->mCount = 1;
    std::string counted = drive.app->StateHashText();
    EXPECT_NE(counted, one);
    counter->SetRect(1, 0, 0, 0);
    EXPECT_NE(drive.app->StateHashText(), counted);
    counter->SetRect(0, 0, 0, 0);
    EXPECT_EQ(drive.app->StateHashText(), counted);
    counter->Kill();
    EXPECT_EQ(drive.app->StateHashText(), empty) << "a killed gadget is gone for the player";

    StateHash zero, negativeZero;
    zero.AddFloat(0.0f);
    negativeZero.AddFloat(-0.0f);
    EXPECT_EQ(zero.Hex(), negativeZero.Hex());
    StateHash ab, a_b;
    ab.AddText("ab");
    ab.AddText("c");
    a_b.AddText("a");
    a_b.AddText("bc");
    EXPECT_NE(ab.Hex(), a_b.Hex());
    EXPECT_EQ(ab.Hex().size(), 16u);
}

}  // namespace
