#include "config/Configuration.h"

#include "report/Log.h"
#include "base/Format.h"

namespace qarvo {

namespace {

ConfigurationMaps maps;

const std::string* findString(std::int32_t key) {
    auto it = maps.stringValues.find(key);
    return it == maps.stringValues.end() ? nullptr : &it->second;
}

// The block gives values no upper bound while callers read them into fixed
// buffers: a value that does not fit is cut, never written past the buffer,
// and the cut is logged so that a truncated setting can be traced.
void logCut(std::int32_t key, std::size_t length, std::size_t capacity) {
    logError("value of key %d is %u bytes long, cut to %u", key, static_cast<unsigned>(length),
             static_cast<unsigned>(capacity - 1));
}

// isspace() of the C locale, which is what atoi skips.
bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi's rules. Where atoi's result is undefined (a number beyond 32 bits) the
// value is clamped to INT32_MIN or INT32_MAX, which is also what the Windows C
// runtime's atoi returns.
std::int32_t decimalLikeAtoi(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) {
            magnitude = limit;  // stays bounded however many digits follow
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace

void getStringValue(std::int32_t key, char* buffer, std::size_t capacity) {
    if (capacity == 0) return;  // not even room for the terminator
    const std::string* value = findString(key);
    if (!value) {
        buffer[0] = '\0';
        return;
    }
    if (!copyBounded(buffer, capacity, *value)) logCut(key, value->size(), capacity);
}

std::string getStringValue(std::int32_t key, std::size_t capacity) {
    const std::string* value = findString(key);
    if (!value || capacity == 0) return std::string();
    if (value->size() < capacity) return *value;
    logCut(key, value->size(), capacity);
    return value->substr(0, capacity - 1);
}

std::int32_t getIntValue(std::int32_t key) {
    return decimalLikeAtoi(getStringValue(key, valueCapacity));
}

std::u16string getWideStringValue(std::int32_t key) {
    auto it = maps.wideValues.find(key);
    return it == maps.wideValues.end() ? std::u16string() : it->second;
}

std::string configuredMessageText(std::int32_t id) { return getStringValue(id, valueCapacity); }

std::uint32_t blockEndOffset() { return maps.blockEndOffset; }

ConfigurationMaps& configurationMaps() { return maps; }

void clearConfiguration() { maps = ConfigurationMaps{}; }

}  // namespace qarvo
