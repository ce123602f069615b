// Registry: entries keep the order in which they were first seen; names match without case.
#include "persistence/Registry.h"

#include <climits>
#include <cstdio>

#include "persistence/DataBuffer.h"
#include "platform/FileSystem.h"
#include "support/DebugLog.h"

namespace {

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

}  // namespace

Registry::~Registry() { Close(); }

bool Registry::Load(std::string_view path) {
    if (mLoaded || !mEntries.empty()) Close();
    mPath.assign(path);
    mLoaded = true;
    DataBuffer buffer;
    buffer.SetKey(mKey);
    bool read = buffer.Load(path);
    mUnreadable = !read && Files::Exists(path);
    if (mUnreadable) DebugLog::Log("Settings file %.*s cannot be read; it will not be rewritten", int(path.size()), path.data());
    while (!buffer.Error()) {
        std::optional<std::string> line = buffer.ReadLine();
        if (!line) break;
        size_t eq = line->find('=');
        if (eq == std::string::npos) continue;
        mEntries.push_back(Entry{line->substr(0, eq), line->substr(eq + 1)});
    }
    return read;
}

Registry::Entry* Registry::Find(std::string_view name) {
    for (Entry& e : mEntries)
        if (SameName(e.name, name)) return &e;
    return nullptr;
}

const Registry::Entry* Registry::Find(std::string_view name) const {
    for (const Entry& e : mEntries)
        if (SameName(e.name, name)) return &e;
    return nullptr;
}

namespace {

std::string WithoutLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n') out.push_back(c);
    return out;
}

}  // namespace

void Registry::Set(std::string_view rawName, std::string value) {
    const std::string name = WithoutLineBreaks(rawName);
    if (value.find_first_of("\r\n") != std::string::npos) value = WithoutLineBreaks(value);
    if (Entry* e = Find(name)) {
        e->value = std::move(value);
        return;
    }
    mEntries.push_back(Entry{std::string(name), std::move(value)});
}

void Registry::SetInt(std::string_view name, int32_t value) { Set(name, std::to_string(value)); }

void Registry::SetBool(std::string_view name, bool value) { Set(name, value ? "true" : "false"); }

void Registry::SetString(std::string_view name, std::string_view value) { Set(name, std::string(value)); }

void Registry::SetByteList(std::string_view name, const int8_t* bytes, int count) {
    std::string value;
    for (int i = 0; i < count; ++i) {
        if (i > 0) value.push_back(',');
        value += std::to_string(static_cast<int>(bytes[i]));
    }
    Set(name, std::move(value));
}

int32_t Registry::ParseInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        // Saturate rather than overflow: an edited file may hold any number of digits.
        if (value > int64_t(INT32_MAX) + 1) value = int64_t(INT32_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t Registry::GetInt(std::string_view name) const {
    const Entry* e = Find(name);
    return e ? ParseInt(e->value) : 0;
}

bool Registry::GetBool(std::string_view name) const {
    const Entry* e = Find(name);
    if (!e) return false;
    const std::string& v = e->value;
    return v == "1" || SameName(v, "true") || SameName(v, "yes") || SameName(v, "on");
}

std::string Registry::GetString(std::string_view name) const {
    const Entry* e = Find(name);
    return e ? e->value : std::string();
}

int Registry::GetByteList(std::string_view name, int8_t* destination, int maximumCount) const {
    const Entry* e = Find(name);
    // An empty value is the empty list SetByteList writes, not one zero.
    if (!e || e->value.empty() || maximumCount <= 0) return 0;
    std::string_view rest = e->value;
    int count = 0;
    while (count < maximumCount) {
        size_t comma = rest.find(',');
        destination[count++] = static_cast<int8_t>(ParseInt(rest.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return count;
}

bool Registry::Exists(std::string_view name) const { return Find(name) != nullptr; }

bool Registry::Flush() {
    if (!mLoaded || mPath.empty() || mUnreadable) return false;
    DataBuffer buffer;
    buffer.SetKey(mKey);
    for (const Entry& e : mEntries) {
        buffer.WriteBytes(e.name.data(), static_cast<int32_t>(e.name.size()));
        buffer.WriteByte('=');
        buffer.WriteBytes(e.value.data(), static_cast<int32_t>(e.value.size()));
        buffer.WriteBytes("\r\n", 2);
    }
    return buffer.Save(mPath);
}

bool Registry::Close() {
    bool ok = !mLoaded || Flush();
    mEntries.clear();
    mPath.clear();
    mLoaded = false;
    mUnreadable = false;
    return ok;
}
