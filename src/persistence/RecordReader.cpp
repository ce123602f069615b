// RecordReader: the checks on top of DataBuffer's item formats; the messages name the field and
// the byte offset, so a refused file can be looked into.
#include "persistence/RecordReader.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "persistence/DataBuffer.h"

namespace {

std::string At(const DataBuffer& buffer, const char* what) {
    return std::string(what) + " (byte " + std::to_string(buffer.Cursor()) + ")";
}

}  // namespace

void RecordReader::Fail(const std::string& problem) {
    if (mProblem.empty()) mProblem = problem.empty() ? std::string("damaged record") : problem;
}

bool RecordReader::Have(int32_t count, const char* what) {
    if (!Ok()) return false;
    if (mBuffer.Remaining() >= count) return true;
    Fail(At(mBuffer, what) + ": the record is cut short");
    return false;
}

bool RecordReader::Bool(const char* what) {
    if (!Have(1, what)) return false;
    int32_t at = mBuffer.Cursor();
    uint8_t byte = mBuffer.ReadByte();
    if (byte > 1) {
        mBuffer.SetCursor(at);
        Fail(At(mBuffer, what) + ": " + std::to_string(byte) + " is neither 0 nor 1");
        return false;
    }
    return byte == 1;
}

int32_t RecordReader::Int(const char* what, int32_t low, int32_t high) {
    if (!Have(4, what)) return 0;
    int32_t at = mBuffer.Cursor();
    int32_t value = mBuffer.ReadInt();
    if (value < low || value > high) {
        mBuffer.SetCursor(at);
        Fail(At(mBuffer, what) + ": " + std::to_string(value) + " is outside " + std::to_string(low) + " to " +
             std::to_string(high));
        return 0;
    }
    return value;
}

float RecordReader::Float(const char* what, float low, float high) {
    if (!Have(4, what)) return 0.0f;
    int32_t at = mBuffer.Cursor();
    float value = mBuffer.ReadFloat();
    if (!std::isfinite(value) || value < low || value > high) {
        mBuffer.SetCursor(at);
        char text[160];
        std::snprintf(text, sizeof text, ": %g is outside %g to %g", double(value), double(low), double(high));
        Fail(At(mBuffer, what) + text);
        return 0.0f;
    }
    return value;
}

void RecordReader::Bytes(void* destination, int32_t count, const char* what) {
    if (count <= 0) return;
    if (!Have(count, what)) {
        std::memset(destination, 0, static_cast<size_t>(count));
        return;
    }
    mBuffer.ReadBytes(destination, count);
}

std::string RecordReader::String(const char* what, int32_t maxLength) {
    int32_t length = Int(what, 1, maxLength + 1);
    if (!Ok() || !Have(length, what)) return std::string();
    std::string text(static_cast<size_t>(length - 1), '\0');
    mBuffer.ReadBytes(text.data(), length - 1);
    if (mBuffer.ReadByte() != 0) {
        Fail(At(mBuffer, what) + ": the text does not end where its length says");
        return std::string();
    }
    if (text.find('\0') != std::string::npos) {
        Fail(At(mBuffer, what) + ": the text holds a zero byte");
        return std::string();
    }
    return text;
}

void RecordReader::ExpectEnd(const char* what) {
    if (!Ok() || mBuffer.AtEnd()) return;
    Fail(std::to_string(mBuffer.Remaining()) + " bytes follow the end of the " + what);
}
