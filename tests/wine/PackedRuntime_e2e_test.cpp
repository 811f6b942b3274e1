// Packed runtimes of a started launcher under Wine: a runtime beside the
// launcher whose archives lie as ".pack" files and whose bin\unpack200.exe is
// the recording stub, which writes each target file.
#include "TestRuntimes.h"

namespace qarvo::wine {
namespace {

constexpr const char* archives[] = {"lib\\rt.jar",     "lib\\charsets.jar",       "lib\\plugin.jar",
                                    "lib\\deploy.jar", "lib\\ext\\localedata.jar", "lib\\jsse.jar"};

class PackedRuntime : public RuntimeTest {
protected:
    // The runtime in jre with a ".pack" file for each of `packed`, and the
    // stub unpacker when `unpacker`.
    void makePackedRuntime(const std::vector<std::string>& packed, const TestRuntime& runtime = {},
                           bool unpacker = true) const {
        makeRuntime(home(), runtime);
        for (const std::string& archive : packed) writeText(home() / (slashed(archive) + ".pack"), "packed");
        if (unpacker) fs::copy_file(doublesDirectory() / "unpack200.exe", home() / "bin" / "unpack200.exe");
    }
    fs::path home() const { return directory() / "jre"; }
    static std::string slashed(std::string archive) {
        std::replace(archive.begin(), archive.end(), '\\', '/');
        return archive;
    }
    std::vector<std::string> unpackerRuns() const {
        return recordLines(home() / "bin" / "unpack200-stub-record.txt");
    }
    // The command line the unpacker gets for `archive`.
    std::string commandLine(const std::string& archive) const {
        const std::string target = normal("jre") + "\\" + archive;
        return "-r \"" + target + ".pack\" \"" + target + "\"";
    }
};

TEST_F(PackedRuntime, ExpandsTheArchivesInOrderOnceAndSkipsAMissingPack) {
    makePackedRuntime({archives[0], archives[1], archives[2], archives[4], archives[5]});
    const fs::path app = launcher({{key::searchSequence, "B.\\jre"}, {key::lowestVersion, "1.8"}});
    LoggedStart start = startLogged(prefix(), app);
    EXPECT_EQ(start.result.exitCode, 0) << start.result.standardError;
    EXPECT_EQ(start.result.standardOutput, "Preparing JRE ...\r\n");

    std::vector<std::string> runs, log = {"Unpacking JRE"};
    for (const char* archive : archives) {
        if (archive == archives[3]) {
            log.push_back("pack path doesn't exists");
            continue;
        }
        runs.push_back(commandLine(archive));
        log.insert(log.end(), {normal("jre") + "\\bin\\unpack200.exe", commandLine(archive),
                               "waiting for unpack200 to finish", "unpack done"});
        EXPECT_TRUE(fs::exists(home() / slashed(archive))) << archive;
    }
    log.push_back("Unpacking JRE done");
    EXPECT_EQ(unpackerRuns(), runs);
    const std::size_t first = std::find(start.log.begin(), start.log.end(), "Unpacking JRE") - start.log.begin();
    ASSERT_LE(first + log.size(), start.log.size());
    EXPECT_EQ(std::vector<std::string>(start.log.begin() + first, start.log.begin() + first + log.size()), log);

    // The done marker is there now: later starts leave the runtime alone.
    start = startLogged(prefix(), app);
    EXPECT_EQ(start.result.exitCode, 0) << start.result.standardError;
    EXPECT_EQ(start.result.standardOutput, "");
    EXPECT_EQ(unpackerRuns().size(), runs.size());
}

TEST_F(PackedRuntime, AnUnpackerThatCannotStartEndsTheLaunch) {
    makePackedRuntime({archives[0]}, {}, false);
    const fs::path app = launcher({{key::searchSequence, "B.\\jre"},
                                   {message::internalError, "An internal error occurred (error code: {0})"}});
    LoggedStart start = startLogged(prefix(), app);
    EXPECT_EQ(start.result.exitCode, 1);
    EXPECT_EQ(start.result.standardError.rfind(messageWithLog("An internal error occurred (error code: 20)"), 0), 0u)
        << start.result.standardError;
    ASSERT_GE(start.log.size(), 2u);
    EXPECT_EQ(start.log[start.log.size() - 2], commandLine(archives[0]));
    EXPECT_EQ(start.log.back(), "could not create unpack process");
}

// Without lib\jsse.jar.pack the done marker never appears, so the marker test
// of the second pass finds the runtime still packed and expands it again.
TEST_F(PackedRuntime, TheSecondPassExpandsARuntimeRejectedByItsVersion) {
    makePackedRuntime({archives[0], archives[4]}, {.output = "java version \"1.6.0_45\"\r\n"});
    const fs::path app = launcher({{key::searchSequence, "B.\\jre"}, {key::lowestVersion, "1.8"}});
    LoggedStart start = startLogged(prefix(), app);
    EXPECT_NE(start.result.exitCode, 83) << start.result.standardError;
    const std::vector<std::string> pass = {commandLine(archives[0]), commandLine(archives[4])};
    std::vector<std::string> both = pass;
    both.insert(both.end(), pass.begin(), pass.end());
    EXPECT_EQ(unpackerRuns(), both);
    EXPECT_EQ(start.linesStartingWith({"Testing", "Unpacking JRE done", "checkJavaExe returning"}),
              (std::vector<std::string>{"Testing location .\\jre (type B)", "Unpacking JRE done",
                                        "checkJavaExe returning 0", "Testing relative location .\\jre",
                                        "Unpacking JRE done"}));
    EXPECT_TRUE(start.hasLine(normal("jre") + "\\bin\\java.exe exists"));
}

}  // namespace
}  // namespace qarvo::wine
