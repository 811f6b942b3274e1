#include "jre/VersionCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/Configuration.h"
#include "testing/TestSystem.h"

namespace qarvo {
namespace {

TEST(VersionCheck, ExtractsTheVersionFromWhatRuntimesPrint) {
    const std::string none = "(none)";
    struct Case {
        std::string output;
        std::string version;
    } cases[] = {
        {"java version \"1.6.0_45\"\r\nJava(TM) SE Runtime Environment (build 1.6.0_45-b06)\r\n", "1.6.0_45"},
        {"java version \"1.8.0_402\"\nJava(TM) SE Runtime Environment (build 1.8.0_402-b10)\n", "1.8.0_402"},
        {"openjdk version \"1.8.0_402\"\nOpenJDK Runtime Environment (Temurin)(build 1.8.0_402-b06)\n", "1.8.0_402"},
        {"java version \"9.0.4\"\r\nJava(TM) SE Runtime Environment (build 9.0.4+11)\r\n", "9.0.4"},
        {"openjdk version \"11.0.22\" 2024-01-16\r\nOpenJDK Runtime Environment (build 11.0.22+7)\r\n", "11.0.22"},
        {"openjdk version \"17.0.15\" 2025-04-15\r\n", "17.0.15"},
        {"openjdk version \"21-ea\" 2023-09-19\r\nOpenJDK Runtime Environment (build 21-ea+35-2513)\r\n", "21-ea"},
        {"openjdk version \"21.0.2\" 2024-01-16\nOpenJDK Runtime Environment GraalVM CE 21.0.2+13.1\n", "21.0.2"},
        {"Picked up JAVA_TOOL_OPTIONS: -Dx=\"java version \\\"2\\\"\"\r\nopenjdk version \"17.0.15\" 2025-04-15\r\n",
         "17.0.15"},
        {"NOTE: Picked up JDK_JAVA_OPTIONS: -Xmx1g\nPicked up _JAVA_OPTIONS: " + std::string(40000, 'x') +
             "\njava version \"1.8.0_402\"\n",
         "1.8.0_402"},
        {"java version \"" + std::string(150, '1') + "\"\n", std::string(versionTextCapacity, '1')},
        {"java version \"\"\n", ""},
        {"java version \"1.6.0_20\n", none},  // no closing quote
        {"java version 1.6.0_20\n", none},
        {"Java version \"1.6\"\n", none},
        {"Error: could not find java.dll\nError: Could not find Java SE Runtime Environment.\n", none},
        {"", none},
        {std::string(20, '\n') + "java version \"1.6\"\n", none},  // only the first 20 lines count
    };
    for (const Case& c : cases) {
        std::string version;
        const bool found = extractJavaVersion(c.output, version);
        EXPECT_EQ(found ? version : none, c.version) << c.output.substr(0, 60);
    }
}

TEST(VersionCheck, OrdersVersionsComponentByComponent) {
    struct Case {
        const char* a;
        const char* b;
        int order;
    } cases[] = {
        {"1.6.0_3", "1.6.0_20", -1}, {"1.6", "1.10", -1},     {"9", "11", -1},
        {"17", "17.0", 0},           {"17.0.0", "17", 0},     {"1.06", "1.6", 0},
        {"", "1", -1},               {"", "", 0},             {"1.8.0_402", "11.0.2", -1},
        {"99999999999999999999", "1", 1},                     {"1.7.0", "1.6.0_45", 1},
        {"21.0.2+13", "21.0.2+7", 1}, {"1.6.0-b", "1.6.0-a", 1},
        // A number ranks below text, text against text byte-wise.
        {"9", "10", -1}, {"10", "1a", -1}, {"9", "1a", -1}, {"1.99999999999999999999", "1.!", -1},
        {"1.6.0-ea", "1.6.0_1", 1}, {"1..2", "1.0.2", 0}, {"1.B", "1.a", -1}, {"1.a\xe9", "1.az", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compareVersions(c.a, c.b), c.order) << c.a << " vs " << c.b;
        EXPECT_EQ(compareVersions(c.b, c.a), -c.order) << c.b << " vs " << c.a;
    }
}

// Registry names are sorted with compareVersions: std::stable_sort needs a
// strict weak order, checked here over every pair and triple of awkward names.
TEST(VersionCheck, VersionOrderIsAStrictWeakOrder) {
    const std::vector<std::string> versions = {
        "", "0", "00", "0.0", "1", "1a", "9", "10", "010", "1.a", "1.0", "1..0", "1.", "a", "A", "-", "1.6.0", "1.6",
        "1.10", "1.9", "1.9a", "1.6.0-ea", "1.6.0_20", "\xe9", "1.!", "1.~", "z", "99999999999999999999",
        "100000000000000000000", "11.0.2+7", "11.0.2-ea+7"};
    const auto less = [](const std::string& a, const std::string& b) { return compareVersions(a, b) < 0; };
    const auto same = [&](const std::string& a, const std::string& b) { return !less(a, b) && !less(b, a); };
    for (const std::string& a : versions) {
        EXPECT_FALSE(less(a, a)) << a;
        for (const std::string& b : versions) {
            EXPECT_EQ(compareVersions(a, b), -compareVersions(b, a)) << a << " vs " << b;
            for (const std::string& c : versions) {
                EXPECT_TRUE(!less(a, b) || !less(b, c) || less(a, c)) << a << " < " << b << " < " << c;
                EXPECT_TRUE(!same(a, b) || !same(b, c) || same(a, c)) << a << " ~ " << b << " ~ " << c;
            }
        }
    }
}

TEST(VersionCheck, BoundsCompareOverTheirOwnComponents) {
    testing::TestSystem system;
    struct Case {
        const char* version;
        const char* lowest;
        const char* highest;
        bool skipBetaCheck;
        const char* allowBeta;  // key 130
        bool acceptable;
    } cases[] = {
        {"1.6.0_20", "1.6", "", false, "0", true},  {"1.7.0", "1.6", "", false, "0", true},
        {"1.5.0_22", "1.6", "", false, "0", false}, {"1.10", "1.6", "", false, "0", true},
        {"9", "11", "", false, "0", false},         {"11.0.2", "9", "", false, "0", true},
        {"11.0.2", "", "9", false, "0", false},     {"17", "17.0", "", false, "0", true},
        {"1.6.0_20", "", "1.6", false, "0", true},  {"1.7.0", "", "1.6", false, "0", false},
        {"1.0.0", "1.6", "", false, "0", false},    {"1.0.0", "", "", false, "0", true},
        {"", "1.6", "", false, "0", false},
        {"1.7.0-ea", "1.6", "", false, "0", false}, {"1.7.0-ea", "1.6", "", true, "0", true},
        {"1.7.0-ea", "1.6", "", false, "1", true},  {"1.6.0-release", "", "", false, "0", false},
        {"9-beta", "", "", false, "0", false},      {"1.8.0-rc", "", "", false, "0", false},
    };
    for (const Case& c : cases) {
        configurationMaps().stringValues[130] = c.allowBeta;
        EXPECT_EQ(versionAcceptable(c.version, c.lowest, c.highest, c.skipBetaCheck), c.acceptable)
            << c.version << " [" << c.lowest << ", " << c.highest << "] skip " << c.skipBetaCheck << " key 130 "
            << c.allowBeta;
    }
}

TEST(VersionCheck, RegistryNamesCompareOverTheShorterText) {
    struct Case {
        const char* name;
        const char* lowest;
        const char* highest;
        bool inRange;
    } cases[] = {
        {"1.6", "1.6.0_10", "1.6", true}, {"1.5", "1.6", "", false}, {"1.10", "1.6", "", true},
        {"9", "11", "", false},           {"11", "", "9", false},    {"1.7.0-ea", "1.6", "1.7", true},
        {"1.6.0_20", "1.6.0_21", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(versionInRange(c.name, c.lowest, c.highest), c.inRange)
            << c.name << " [" << c.lowest << ", " << c.highest << "]";
    }
}

}  // namespace
}  // namespace qarvo
