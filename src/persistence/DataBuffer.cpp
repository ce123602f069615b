// DataBuffer: items are little-endian with no padding; strings carry their terminating zero.
#include "persistence/DataBuffer.h"

#include <cstring>

#include "platform/FileSystem.h"

bool DataBuffer::Load(std::string_view path) {
    Clear();
    bool read = Files::ReadWhole(path, mData);
    // Every offset is an int32 in the file formats, so a larger file cannot be addressed.
    if (mData.size() > static_cast<size_t>(INT32_MAX)) {
        mData.clear();
        read = false;
    }
    ApplyKey();
    return read;
}

bool DataBuffer::Save(std::string_view path) {
    ApplyKey();
    return Files::WriteWholeAtomic(path, mData.data(), mData.size());
}

void DataBuffer::SetData(const void* bytes, size_t count) {
    Clear();
    if (count > static_cast<size_t>(INT32_MAX)) return;
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    mData.assign(p, p + count);
}

void DataBuffer::Clear() {
    mData.clear();
    mCursor = 0;
    mError = false;
}

void DataBuffer::SetKey(std::string_view key) { mKey.assign(key); }

void DataBuffer::SetCursor(int32_t cursor) { mCursor = cursor < 0 ? 0 : cursor; }

void DataBuffer::ApplyKey() {
    if (mKey.empty()) return;
    for (size_t i = 0; i < mData.size(); ++i) mData[i] ^= static_cast<uint8_t>(mKey[i % mKey.size()]);
}

bool DataBuffer::CanRead(int32_t count) {
    int32_t remaining = Remaining();
    if (remaining >= count) return true;
    // At or past the end: a plain zero value. Part of an item left: a short read.
    if (remaining > 0) mError = true;
    return false;
}

int32_t DataBuffer::ReadInt() {
    if (mError || !CanRead(4)) return 0;
    uint32_t v = uint32_t(mData[mCursor]) | uint32_t(mData[mCursor + 1]) << 8 |
                 uint32_t(mData[mCursor + 2]) << 16 | uint32_t(mData[mCursor + 3]) << 24;
    mCursor += 4;
    return static_cast<int32_t>(v);
}

float DataBuffer::ReadFloat() {
    if (mError || !CanRead(4)) return 0.0f;
    uint32_t bits = static_cast<uint32_t>(ReadInt());
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

bool DataBuffer::ReadBool() { return ReadByte() == 1; }

uint8_t DataBuffer::ReadByte() {
    if (mError || !CanRead(1)) return 0;
    return mData[mCursor++];
}

void DataBuffer::ReadBytes(void* destination, int32_t count) {
    if (count <= 0) return;
    if (Remaining() < count) {
        std::memset(destination, 0, static_cast<size_t>(count));
        mError = true;
        return;
    }
    std::memcpy(destination, mData.data() + mCursor, static_cast<size_t>(count));
    mCursor += count;
}

std::string DataBuffer::ReadString() {
    if (mError || AtEnd()) return std::string();
    int32_t length = ReadInt();
    if (mError || length < 1 || length > Remaining()) {
        mError = true;
        return std::string();
    }
    std::string text(reinterpret_cast<const char*>(mData.data() + mCursor), static_cast<size_t>(length - 1));
    mCursor += length;
    return text;
}

std::optional<std::string> DataBuffer::ReadLine() {
    if (mError || AtEnd()) return std::nullopt;
    std::string line;
    while (mCursor < Size()) {
        char c = static_cast<char>(mData[mCursor++]);
        if (c == '\r') break;
        if (c != '\n') line.push_back(c);
    }
    return line;
}

std::optional<std::string> DataBuffer::ReadStatement() {
    if (mError) return std::nullopt;
    // Leading blanks belong to no statement.
    while (mCursor < Size() && (mData[mCursor] == ' ' || mData[mCursor] == '\t' || mData[mCursor] == '\r' ||
                                mData[mCursor] == '\n'))
        ++mCursor;
    if (AtEnd()) return std::nullopt;

    std::string text;
    char quote = 0;
    while (mCursor < Size()) {
        char c = static_cast<char>(mData[mCursor++]);
        if (quote == 0 && c == ';') return text;
        if (c == '"' || c == '\'') {
            if (quote == 0)
                quote = c;
            else if (quote == c)
                quote = 0;
        }
        if (c == '\t') c = ' ';
        if (static_cast<unsigned char>(c) < 32) continue;
        if (c == ' ' && quote == 0 && (text.empty() || text.back() == ' ')) continue;
        text.push_back(c);
    }
    return text;
}

void DataBuffer::Put(const void* source, size_t count) {
    if (count == 0) return;
    size_t end = static_cast<size_t>(mCursor) + count;
    if (end > static_cast<size_t>(INT32_MAX)) {
        mError = true;
        return;
    }
    if (end > mData.size()) mData.resize(end);
    std::memcpy(mData.data() + mCursor, source, count);
    mCursor = static_cast<int32_t>(end);
}

void DataBuffer::WriteInt(int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    uint8_t bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    Put(bytes, 4);
}

void DataBuffer::WriteFloat(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteInt(static_cast<int32_t>(bits));
}

void DataBuffer::WriteBool(bool value) { WriteByte(value ? 1 : 0); }

void DataBuffer::WriteByte(uint8_t value) { Put(&value, 1); }

void DataBuffer::WriteBytes(const void* source, int32_t count) {
    if (count > 0) Put(source, static_cast<size_t>(count));
}

void DataBuffer::WriteString(std::string_view text) {
    WriteInt(static_cast<int32_t>(text.size() + 1));
    Put(text.data(), text.size());
    WriteByte(0);
}
