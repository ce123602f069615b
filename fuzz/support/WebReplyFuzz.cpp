// A report server's reply as the crash reporter handles it: arriving in pieces of any size, cut to
// the size limit and at the first zero byte, then read for its RESULT element.
// Input: two bytes of size limit, one byte of piece size, then the reply.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "support/CrashReport.h"
#include "support/TagText.h"
#include "support/WebClient.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    int maxBytes = data[0] | (data[1] << 8);
    size_t piece = size_t(data[2]) + 1;
    std::string_view reply(reinterpret_cast<const char*>(data + 3), size - 3);

    std::string received;
    bool full = maxBytes == 0;
    for (size_t at = 0; at < reply.size() && !full; at += piece)
        full = WebClient::AppendReply(received, reply.substr(at, piece), maxBytes);
    if (received.size() > size_t(maxBytes)) __builtin_trap();
    std::string text = WebClient::ReplyText(received, maxBytes);
    if (text.size() > received.size() || text.find('\0') != std::string::npos) __builtin_trap();

    int answer = CrashReport::ReadAnswer(text);
    if (answer < 0 || answer > 2) __builtin_trap();
    TagReader reader;
    reader.SetText(text);
    for (size_t i = 0; i <= text.size() + 1; ++i)
        if (!reader.ReadElement().found) return 0;
    __builtin_trap();  // more elements than bytes: the reader stopped advancing
}
