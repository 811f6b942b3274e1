#include "config/Configuration.h"

#include <gtest/gtest.h>

#include <optional>

#include "config/ConfigKeys.h"
#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::TestSystem;

void setString(std::int32_t key, const std::string& value) { configurationMaps().stringValues[key] = value; }

TEST(Configuration, IntValueConvertsLikeAtoi) {
    struct Case {
        const char* value;  // null: key absent
        std::int32_t expected;
    } cases[] = {
        {nullptr, 0},
        {"", 0},
        {"1", 1},
        {"42", 42},
        {"007", 7},
        {"-17", -17},
        {"+5", 5},
        {" \t\n\v\f\r12", 12},
        {"12abc", 12},
        {"3 4", 3},
        {"1.6", 1},
        {"0x10", 0},
        {"abc", 0},
        {"- 5", 0},
        {"+-3", 0},
        {"--3", 0},
        {"-", 0},
        {"\xA0" "5", 0},  // not white space in the C locale
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"99999999999999999999999999", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"-000000000000000000000000042", -42},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(absent)");
        TestSystem system;
        if (c.value) setString(key::applicationType, c.value);
        EXPECT_EQ(getIntValue(key::applicationType), c.expected);
    }
}

TEST(Configuration, IntValueSeesOnlyWhatAnEightKilobyteBufferHolds) {
    TestSystem system;
    setString(130, std::string(8191, '0') + "7");
    EXPECT_EQ(getIntValue(130), 0);
    setString(130, std::string(8190, '0') + "7");
    EXPECT_EQ(getIntValue(130), 7);
}

// Values longer than the caller's buffer are cut to fit it, never written past
// it, and the cut is logged with the key.
TEST(Configuration, StringValueIsCutToTheBufferWithALogLine) {
    struct Case {
        std::int32_t key;
        std::optional<std::string> value;  // none: key absent
        std::size_t capacity;
        std::string expected;
        std::vector<std::string> log;
    } cases[] = {
        {key::launcherKind, "e", key::launcherKindCapacity, "e", {}},
        {key::launcherKind, "ie", key::launcherKindCapacity, "i",
         {"ERROR: value of key 2001 is 2 bytes long, cut to 1"}},
        {key::launcherKind, "", key::launcherKindCapacity, "", {}},
        {key::launcherKind, std::nullopt, key::launcherKindCapacity, "", {}},
        {key::preferredVmType, "client", key::preferredVmTypeCapacity, "client", {}},
        {key::preferredVmType, std::string(199, 'c'), 200, std::string(199, 'c'), {}},
        {key::preferredVmType, std::string(200, 'c'), 200, std::string(199, 'c'),
         {"ERROR: value of key 152 is 200 bytes long, cut to 199"}},
        {key::vmOptions, std::string(10000, 'o'), valueCapacity, std::string(8191, 'o'),
         {"ERROR: value of key 123 is 10000 bytes long, cut to 8191"}},
        {key::mainClass, "x", 1, "", {"ERROR: value of key 122 is 1 bytes long, cut to 0"}},
        {-3, "negative key", valueCapacity, "negative key", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        TestSystem system;
        system.enableLog();
        if (c.value) setString(c.key, *c.value);
        std::vector<char> buffer(c.capacity + 8, '#');
        getStringValue(c.key, buffer.data(), c.capacity);
        EXPECT_EQ(std::string(buffer.data()), c.expected);
        EXPECT_EQ(std::string(buffer.begin() + c.capacity, buffer.end()), std::string(8, '#'));
        EXPECT_EQ(getStringValue(c.key, c.capacity), c.expected);
        std::vector<std::string> lines = system.logLines();
        lines.erase(lines.begin(), lines.begin() + (lines.size() < 2 ? lines.size() : 2));
        std::vector<std::string> twice = c.log;
        twice.insert(twice.end(), c.log.begin(), c.log.end());  // once per overload
        EXPECT_EQ(lines, twice);
    }
}

TEST(Configuration, ZeroCapacityWritesNothing) {
    TestSystem system;
    setString(122, "Main");
    char buffer = '#';
    getStringValue(122, &buffer, 0);
    EXPECT_EQ(buffer, '#');
    EXPECT_EQ(getStringValue(122, 0), "");
}

TEST(Configuration, ClearingLeavesEveryKeyAbsent) {
    TestSystem system;
    setString(107, "5");
    configurationMaps().wideValues[1001] = u"x";
    configurationMaps().blockEndOffset = 4096;
    EXPECT_EQ(blockEndOffset(), 4096u);
    clearConfiguration();
    EXPECT_EQ(getIntValue(107), 0);
    EXPECT_EQ(getWideStringValue(1001), u"");
    EXPECT_EQ(blockEndOffset(), 0u);
}

}  // namespace
}  // namespace qarvo
