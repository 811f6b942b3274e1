// The locale sections of the block: the user's locale (from LC_ALL under Wine)
// picks which sections override the wide values. launcher_probe reads the
// block appended to its own copy with the launcher's reader and prints the
// locale name and the resulting values.
#include "E2eSupport.h"
#include "Locales.h"

namespace qarvo::wine {
namespace {

struct LocaleCase {
    const char* name;
    const char* locale;  // LC_ALL; empty: Wine's default (en_US)
    std::vector<std::string> output;  // locale name, then the values of keys 5000, 5001, 5002
};

void PrintTo(const LocaleCase& c, std::ostream* out) { *out << c.name; }

class LocaleSections : public WineTest, public ::testing::WithParamInterface<LocaleCase> {};

TEST_P(LocaleSections, UserLocalePicksTheSections) {
    const LocaleCase& c = GetParam();
    if (*c.locale) {
        std::string error;
        ASSERT_TRUE(ensureLocale(c.locale, error)) << error;
    }
    ConfigBlockContent content;
    content.wides = {{5000, u"base"}, {5001, u"base"}, {5002, u"base"}};
    content.localeSections = {
        {"de", {{5000, u"de"}}},
        {"de_CH", {{5000, u"de_CH: Gr\u00fcezi"}}},  // later sections win for their keys
        {"en", {{5001, u"en"}}},
        {"", {{5002, u"every known locale"}}},
        {"es_ES", {{5001, u"es_ES"}}},
    };
    std::vector<std::uint8_t> bytes, image;
    std::string error;
    ASSERT_TRUE(readFileBytes(launcherProbe(), bytes));
    ASSERT_TRUE(writeLauncherImage(bytes, content, {}, image, error)) << error;
    const fs::path probe = directory() / "probe.exe";
    ASSERT_TRUE(writeFileBytes(probe, image));

    RunRequest request;
    request.program = probe;
    request.arguments = {"own-config", "5000", "5001", "5002"};
    request.locale = c.locale;
    RunResult r = prefix().run(request);
    ASSERT_EQ(r.exitCode, 0) << r.standardError;
    bool crlfOnly = false;
    EXPECT_EQ(logLines(r.standardOutput, crlfOnly), c.output);
}

INSTANTIATE_TEST_SUITE_P(
    Wine, LocaleSections,
    ::testing::Values(
        LocaleCase{"Default", "", {"en_US", "base", "en", "every known locale"}},
        LocaleCase{"German", "de_DE.UTF-8", {"de_DE", "de", "base", "every known locale"}},
        LocaleCase{"SwissGerman", "de_CH.UTF-8", {"de_CH", "de_CH: Gr\xc3\xbc" "ezi", "base", "every known locale"}},
        LocaleCase{"Spanish", "es_ES.UTF-8", {"es_ES", "base", "es_ES", "every known locale"}}),
    [](const ::testing::TestParamInfo<LocaleCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qarvo::wine
