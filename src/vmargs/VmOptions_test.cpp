#include "vmargs/VmOptions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/PathHelpers.h"
#include "config/Configuration.h"
#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::TestSystem;

class VmOptions : public ::testing::Test {
protected:
    VmOptions() {
        resetIncludedFilesForTesting();
    }
    ~VmOptions() override { resetIncludedFilesForTesting(); }

    // The options of the default file with everything it includes.
    VmOptionList readDefault() {
        VmOptionList options;
        readVmOptionsFile(nullptr, openDefaultVmOptionsFile(), options, overrides);
        return options;
    }
    VmOptionList configured(const ArgumentList& arguments = {u"C:\\app\\run.exe"}) {
        VmOptionList options;
        addConfiguredVmOptions(arguments, options, overrides);
        return options;
    }
    bool logContains(const std::string& text) {
        auto lines = system.logLines();
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
    }

    TestSystem system;
    ClassPathOverrides overrides;
};

TEST_F(VmOptions, LineRules) {
    struct Case {
        const char* piece;
        bool isOption;
        const char* option;
    } cases[] = {
        {"  -Xmx512m   \n", true, "-Xmx512m"},
        {"\t-Xmx512m\n", true, "\t-Xmx512m"},  // tabs are not trimmed
        {"-Xss1m\t\n", true, "-Xss1m\t"},
        {"   # a comment\n", false, ""},
        {"-Dx=1 # not a comment\n", true, "-Dx=1 # not a comment"},
        {"-Dx=1\r\n", true, "-Dx=1"},
        {"-Dx=1\r\r\n\n", true, "-Dx=1"},
        {"-Dname=a  b\n", true, "-Dname=a  b"},  // inner spaces stay
        {"-Dlast", true, "-Dlast"},            // last line without a line feed
        {"\r\n", false, ""},
        {"     \n", false, ""},
        {"", false, ""},
        {"#", false, ""},
    };
    for (const Case& c : cases) {
        std::string piece = c.piece;
        EXPECT_EQ(optionFromLine(piece), c.isOption) << c.piece;
        if (c.isOption) {
            EXPECT_EQ(piece, c.option) << c.piece;
        }
    }
}

TEST_F(VmOptions, DirectivesSetTheClassPathOverrides) {
    struct Case {
        const char* option;
        const char* appended;  // null: not passed to the virtual machine
        const char* replacement;
        const char* prepend;
        const char* append;
    } cases[] = {
        {"-classpath lib\\a.jar", nullptr, "lib\\a.jar", nullptr, nullptr},
        {"-classpath  two spaces", nullptr, " two spaces", nullptr, nullptr},
        {"-classpath/p first.jar", nullptr, nullptr, "first.jar", nullptr},
        {"-classpath/a last.jar", nullptr, nullptr, nullptr, "last.jar"},
        {"-classpath ", nullptr, "", nullptr, nullptr},
        {"-classpath", "-classpath", nullptr, nullptr, nullptr},  // no space, no directive
        {"-classpath/a", "-classpath/a", nullptr, nullptr, nullptr},
        {"-cp a.jar", "-cp a.jar", nullptr, nullptr, nullptr},
        {"-Xmx1g", "-Xmx1g", nullptr, nullptr, nullptr},
    };
    auto text = [](const std::optional<std::string>& value) { return value ? value->c_str() : "(none)"; };
    for (const Case& c : cases) {
        VmOptionList options;
        ClassPathOverrides found;
        addVmOption(nullptr, c.option, options, found);
        EXPECT_EQ(options, c.appended ? VmOptionList{c.appended} : VmOptionList{}) << c.option;
        EXPECT_STREQ(text(found.replacement), c.replacement ? c.replacement : "(none)") << c.option;
        EXPECT_STREQ(text(found.prepend), c.prepend ? c.prepend : "(none)") << c.option;
        EXPECT_STREQ(text(found.append), c.append ? c.append : "(none)") << c.option;
    }
    // A later directive of a kind replaces the earlier one.
    VmOptionList options;
    for (const char* option : {"-classpath/a one.jar", "-classpath/a two.jar"}) addVmOption(nullptr, option, options, overrides);
    EXPECT_EQ(overrides.append, "two.jar");
}

// The launcher's 8.3 name would name the wrong file: the long form counts.
std::uint32_t longFormOfShortLauncher(const char* path, char* buffer, std::uint32_t size) {
    std::string out = std::string(path) == "C:\\PROGRA~1\\MYAPP~1.EXE" ? "C:\\Programs\\My Application.exe" : path;
    if (out.size() + 1 > size) return static_cast<std::uint32_t>(out.size() + 1);
    std::copy(out.begin(), out.end() + 1, buffer);
    return static_cast<std::uint32_t>(out.size());
}

TEST_F(VmOptions, DefaultFileNamesFollowTheLongForm) {
    system.enableLog();
    system.setLauncherPath("C:\\PROGRA~1\\MYAPP~1.EXE");
    longPathConverter = longFormOfShortLauncher;
    system.files.addFile("C:\\Programs\\My Application.exe.vmoptions", "-Dlong\n");
    EXPECT_EQ(readDefault(), VmOptionList{"-Dlong"});
    EXPECT_EQ(system.files.textOpened, (std::vector<std::string>{"C:\\Programs\\My Application.vmoptions",
                                                      "C:\\Programs\\My Application.exe.vmoptions"}));
    EXPECT_TRUE(logContains("vmoptions: exe file: C:\\PROGRA~1\\MYAPP~1.EXE, long: C:\\Programs\\My Application.exe, "
                            "opts1: C:\\Programs\\My Application.vmoptions, file: "));
    EXPECT_TRUE(logContains("vmoptions: opts2: C:\\Programs\\My Application.exe.vmoptions, file: "));
}

TEST_F(VmOptions, IncludesAreResolvedAgainstTheIncludingFile) {
    system.enableLog();
    system.files.addFile("C:\\app\\run.vmoptions",
              "-Dbefore\n-include-options conf\\common.vmoptions\n-include-options D:\\abs.vmoptions\n"
              "-include-options missing.vmoptions\n-Dafter\n");
    system.files.addFile("C:\\app\\conf\\common.vmoptions", "-Dcommon\n-include-options ..\\shared\\deep.vmoptions\n-Dcommon2\n");
    system.files.addFile("C:\\app\\shared\\deep.vmoptions", "-Ddeep\n");
    system.files.addFile("D:\\abs.vmoptions", "-Dabsolute\n");
    EXPECT_EQ(readDefault(), (VmOptionList{"-Dbefore", "-Dcommon", "-Ddeep", "-Dcommon2", "-Dabsolute", "-Dafter"}));
    EXPECT_TRUE(std::count(system.files.textOpened.begin(), system.files.textOpened.end(), "C:\\app\\conf\\..\\shared\\deep.vmoptions"));
    EXPECT_TRUE(logContains("adding vmoptions from <C:\\app\\conf\\common.vmoptions> (conf\\common.vmoptions) ("));
    EXPECT_TRUE(logContains("adding vmoptions from <C:\\app\\missing.vmoptions> (missing.vmoptions) ("));
}

TEST_F(VmOptions, IncludeCyclesStopAtTheNestingLimit) {
    system.enableLog();
    // The same file under another name each time round: case and "..".
    system.files.addFile("C:\\app\\run.vmoptions", "-Da\n-include-options sub\\..\\RUN.VMOPTIONS\n-Dafter\n");
    VmOptionList options = readDefault();
    ASSERT_EQ(options.size(), 2u * (maxIncludeDepth + 1));
    EXPECT_EQ(std::count(options.begin(), options.end(), "-Da"), maxIncludeDepth + 1);
    EXPECT_EQ(options.front(), "-Da");
    EXPECT_EQ(options.back(), "-Dafter");
    EXPECT_EQ(system.files.mostTextFilesOpen, maxIncludeDepth + 1);
    EXPECT_EQ(system.files.textFilesOpen, 0);
    EXPECT_TRUE(logContains("ERROR: vmoptions from <"));
    EXPECT_TRUE(logContains("not read: includes nested deeper than 16"));
}

TEST_F(VmOptions, ManyIncludesOfOneFileAreBounded) {
    std::string content = "-Dx\n";
    for (int i = 0; i < 10; ++i) content += "-include-options run.vmoptions\n";
    system.files.addFile("C:\\app\\run.vmoptions", content);
    VmOptionList options = readDefault();
    // Ten includes a level would read 10^16 files; the budget stops it.
    EXPECT_EQ(options.size(), static_cast<std::size_t>(maxIncludedFiles) + 1);
    EXPECT_LE(system.files.textOpened.size(), static_cast<std::size_t>(maxIncludedFiles) + 2);
}

TEST_F(VmOptions, LongLinesAreReadInPiecesOf8191Characters) {
    std::string longLine = "-D" + std::string(8189 + 100, 'x');  // 8291 characters
    std::string exact = "-D" + std::string(8189, 'y');            // 8191 characters
    system.files.addFile("C:\\app\\run.vmoptions", longLine + "\n" + exact + "\n-Dend\n");
    VmOptionList options = readDefault();
    ASSERT_EQ(options.size(), 4u);
    EXPECT_EQ(options[0], longLine.substr(0, 8191));
    EXPECT_EQ(options[1], std::string(100, 'x'));
    EXPECT_EQ(options[2], exact);  // its line feed comes as a piece of its own, which is empty
    EXPECT_EQ(options[3], "-Dend");
}

TEST_F(VmOptions, ConfiguredWordsAndIncludes) {
    system.enableLog();
    system.files.addFile("C:\\app\\extra.vmoptions", "-Dextra\n");
    auto& values = configurationMaps().stringValues;
    struct Case {
        const char* key123;
        VmOptionList expected;
    } cases[] = {
        {"-Xmx1g  -Dhome=${QARVO_EXEDIR}", {"-Xmx1g", "-Dhome=C:\\app\\"}},
        {"-Da -include-options extra.vmoptions -Db", {"-Da", "-Dextra", "-Db"}},
        {"-Da -include-options", {"-Da", "-include-options"}},  // nothing to include
        {"\"-Dname=a b\" '-classpath/a x.jar'", {"-Dname=a b"}},
        {"-classpath/a x.jar", {"-classpath/a", "x.jar"}},  // a directive needs one quoted word
        {"", {}},
    };
    for (const Case& c : cases) {
        values[123] = c.key123;
        EXPECT_EQ(configured(), c.expected) << c.key123;
    }
    EXPECT_EQ(overrides.append, "x.jar");
    // The log line's format ends in a line feed of its own: an empty line follows.
    const std::vector<std::string> lines = system.logLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "adding options"), std::ssize(cases));
    for (auto at = std::find(lines.begin(), lines.end(), "adding options"); at != lines.end();
         at = std::find(at + 1, lines.end(), "adding options")) {
        ASSERT_NE(at + 1, lines.end());
        EXPECT_EQ(at[1], "");
    }
}

TEST_F(VmOptions, DashJArgumentsWhenKey125IsSet) {
    auto& values = configurationMaps().stringValues;
    values[123] = "-Dfirst";
    const ArgumentList arguments = {u"-Jelement0", u"-J-Xmx512m", u"foo", u"-J", u"-j-Xss1m", u"x-J-Dy", u"-J-Dn=caf\u00e9"};
    values[125] = "0";
    EXPECT_EQ(configured(arguments), VmOptionList{"-Dfirst"});
    values[125] = "1";
    EXPECT_EQ(configured(arguments), (VmOptionList{"-Dfirst", "element0", "-Xmx512m", "", "-Dn=caf\xe9"}));
}

TEST_F(VmOptions, LongKeyValuesAndIncludePathsAreBounded) {
    configurationMaps().stringValues[123] = "-D" + std::string(9000, 'k');
    VmOptionList options = configured();
    ASSERT_EQ(options.size(), 1u);
    EXPECT_EQ(options[0].size(), 8191u);  // the getter's buffer
    VmOptionList included;
    addVmOption(nullptr, "-include-options " + std::string(9000, 'p'), included, overrides);
    ASSERT_FALSE(system.files.textOpened.empty());
    EXPECT_EQ(system.files.textOpened.back(), "C:\\app\\" + std::string(8191, 'p'));
}

}  // namespace
}  // namespace qarvo
