// Feeds arbitrary bytes to the replay reader. An accepted file must write back to text that reads
// back to the same text, and must replay (every step asking for its inputs) without fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/core/InputJournal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    InputJournal journal;
    std::string error;
    if (!journal.Parse(text, &error)) {
        if (error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    std::string written = journal.Serialize(journal.RecordedVersion());
    InputJournal again;
    if (!again.Parse(written, &error)) std::abort();
    if (again.Serialize(again.RecordedVersion()) != written) std::abort();

    // The replay loop of the application, nested steps left out; bounded so a huge end step
    // does not stall the fuzzer.
    InputJournal::Entry entry;
    uint8_t keys[256];
    bool active = false;
    for (int step = 0; step < 20000 && !journal.ReplayOver(); ++step) {
        while (journal.TakeActivate(&active)) {}
        journal.BeginStep();
        journal.TakeLoaded();
        journal.TakePointerLeft();
        while (journal.TakeEvent(&entry))
            if (!InputJournal::MessageName(entry.mMessage)) std::abort();
        journal.TakeKeys(keys);
    }
    if (journal.UnusedEntries() > journal.Entries().size()) std::abort();
    return 0;
}
