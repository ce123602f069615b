// Reads a stored record with every value checked against what the game can hold: a record cut
// short, a bool byte other than 0 or 1, a number outside its range or a float that is not finite
// is remembered as the record's problem, and every later read returns a zero value. Loaders of
// saved games read through it, so a damaged file is refused as a whole and never half-built.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

class DataBuffer;

class RecordReader {
public:
    explicit RecordReader(DataBuffer& buffer) : mBuffer(buffer) {}

    // A byte that must be 0 or 1.
    bool Bool(const char* what);
    // An int32 within [low, high].
    int32_t Int(const char* what, int32_t low = std::numeric_limits<int32_t>::min(),
                int32_t high = std::numeric_limits<int32_t>::max());
    // A finite float32 within [low, high].
    float Float(const char* what, float low, float high);
    // `count` raw bytes; zero-filled when the record is cut short.
    void Bytes(void* destination, int32_t count, const char* what);
    // A string (int32 length counting the closing zero, the bytes, the zero) of at most
    // `maxLength` bytes before the zero.
    std::string String(const char* what, int32_t maxLength);

    // Keeps the first problem; later ones would only describe its consequences.
    void Fail(const std::string& problem);
    // Fails unless the whole buffer has been read.
    void ExpectEnd(const char* what);

    bool Ok() const { return mProblem.empty(); }
    const std::string& Problem() const { return mProblem; }
    DataBuffer& Buffer() { return mBuffer; }

private:
    // True when `count` more bytes are there; otherwise fails with "cut short".
    bool Have(int32_t count, const char* what);

    DataBuffer& mBuffer;
    std::string mProblem;
};
