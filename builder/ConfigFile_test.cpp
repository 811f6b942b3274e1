#include "builder/ConfigFile.h"

#include <gtest/gtest.h>

#include "builder/testing/MemoryHost.h"
#include "image/testing/FakeIcon.h"

namespace qarvo::builder {
namespace {

constexpr const char* jar = "/opt/qarvo/share/qarvo/qarvo-runtime.jar";
constexpr const char* application = "[application]\nmain-class = \"com.example.Main\"\n";

struct Read {
    bool ok = false;
    BuildPlan plan;
    std::string diagnostics;  // one a line
};

Read readText(const std::string& text, testing::MemoryHost& host) {
    Read r;
    std::vector<Diagnostic> diagnostics;
    r.ok = readConfiguration(text, {"/p/app.toml", "", "", jar}, host, r.plan, diagnostics);
    for (const Diagnostic& d : diagnostics) r.diagnostics += d.text() + "\n";
    return r;
}

testing::MemoryHost hostWithFiles() {
    testing::MemoryHost host;
    host.addFile(jar, "jar");
    host.addFile("/p/data.txt", "data");
    host.addFile("/p/lib/app.jar", "app");
    host.files["/p/app.ico"] = qarvo::testing::makeIcoFile({{16, 16, 1, 32, qarvo::testing::bitmapIconImage(16, 0)}});
    host.addFile("/p/splash.gif", "GIF89a image");
    host.addFile("/p/splash.bmp", "BM image");
    host.files["/p/huge.gif"].resize((16u << 20) + 1);
    return host;
}

TEST(ConfigFile, EveryProblemIsReportedWithItsPosition) {
    const std::string longText(8192, 'x');
    std::string longKey;  // 71 parts
    for (int i = 0; i < 70; ++i) longKey += "a.";
    longKey += "b";
    const struct Case {
        std::string text;
        std::string diagnostics;
    } cases[] = {
        {"[application\n", "/p/app.toml:1:13: Error while parsing table header: expected ']', saw '\\n'\n"},
        {"# caf\xC3\xA9\n[application]\nmain-class = \"a.B\" \xC2\xA1\n",
         "/p/app.toml:3:20: a character beyond ASCII outside a string or a comment\n"},
        {"\n\xEF\xBB\xBE", "/p/app.toml:2:1: a character beyond ASCII outside a string or a comment\n"},
        {"O=2[\"\xEF\xBB\xBD" "7", "/p/app.toml:1:5: a string that is not closed\n"},
        {"a = 'x\nb = 1\n", "/p/app.toml:1:5: a string that is not closed on its line\n"},
        // Quotes before the closing delimiter belong to the string; an escaped
        // line end still counts as a line.
        {std::string(application) + "name = \"\"\"x\"\"\"\"\n", ""},
        {std::string(application) + "name = \"\"\"a\\\nb\"\"\"\nx = \xC3\xBF\n",
         "/p/app.toml:5:5: a character beyond ASCII outside a string or a comment\n"},
        {longKey + " = 1\n", "/p/app.toml:1:1: a dotted key of more than 64 parts\n"},
        {std::string(application) + "[" + longKey + "]\n", "/p/app.toml:3:1: a dotted key of more than 64 parts\n"},
        {std::string(application) + "x = { " + longKey + " = 1 }\n",
         "/p/app.toml:3:5: a dotted key of more than 64 parts\n"},
        {std::string(application) + "name = 5\n",
         "/p/app.toml:3:8: application.name: expected a string, found an integer\n"},
        {std::string(application) + "mian = \"x\"\n", "/p/app.toml:3:1: unknown name \"application.mian\"\n"},
        {std::string(application) + "[aplication]\nname = \"x\"\n", "/p/app.toml:3:2: unknown name \"aplication\"\n"},
        {std::string(application) + "type = \"window\"\n",
         "/p/app.toml:3:8: application.type: \"window\" is none of \"gui\", \"console\", \"console-dialogs\"\n"},
        {std::string(application) + "kind = \"x\"\n",
         "/p/app.toml:3:8: application.kind: \"x\" is none of \"plain\", \"installer\"\n"},
        {"[application]\nmain-class = \"com..Main\"\n",
         "/p/app.toml:2:14: application.main-class: \"com..Main\" is no dotted Java class name (\"com.example.Main\")\n"},
        {"[application]\nmain-class = \"9lives.Main\"\n",
         "/p/app.toml:2:14: application.main-class: \"9lives.Main\" is no dotted Java class name (\"com.example.Main\")\n"},
        {"[runtime]\nmin-version = \"1.8\"\n", "/p/app.toml: application.main-class is required\n"},
        {std::string(application) + "class-path = [\"a.jar\", { zip = \"b.zip\" }]\n",
         "/p/app.toml:3:14: application.class-path: entry 2: unknown class path entry type \"zip\" (archive, "
         "directory, scan, variable)\n"},
        {std::string(application) + "class-path = [\"a.jar;b.jar\"]\n",
         "/p/app.toml:3:14: application.class-path: entry 1: the entry a.jar;b.jar holds a \";\", which separates "
         "the entries\n"},
        {std::string(application) + "[runtime]\nsearch-sequence = [\"bundled:jre\", \"cloud:x\"]\n",
         "/p/app.toml:4:19: runtime.search-sequence: unknown search entry \"cloud:x\" (bundled, directory, "
         "runtime-directory, env, path, installed, registry)\n"},
        {std::string(application) + "[runtime]\nsearch-sequence = [\"env\"]\n",
         "/p/app.toml:4:19: runtime.search-sequence: the entry env needs an argument: env:<variable>\n"},
        {std::string(application) + "[runtime]\nsearch-sequence = \"B.\\\\jre;XJAVA_HOME;\"\n",
         "/p/app.toml:4:19: runtime.search-sequence: entry 2 (XJAVA_HOME) begins with no known search letter (B, A, "
         "R, E, S, M, Y)\n"},
        {std::string(application) + "[runtime]\nmin-version = \"1..8\"\n",
         "/p/app.toml:4:15: runtime.min-version: \"1..8\" is no version: digits first, then letters and digits "
         "separated by \".\", \"_\" or \"-\" (\"1.8\", \"11.0.2\", \"1.6.0_20\")\n"},
        {std::string(application) + "[runtime]\nmin-version = \"11\"\nmax-version = \"1.8\"\n",
         "/p/app.toml:4:15: runtime.min-version 11 lies above runtime.max-version 1.8: no runtime can pass\n"},
        {std::string(application) + "[runtime]\nvm-type = \"" + std::string(200, 'v') + "\"\n",
         "/p/app.toml:4:11: runtime.vm-type: the value is 200 bytes long; the launcher reads at most 199\n"},
        {std::string(application) + "[messages]\ncaption = \"" + longText + "\"\n",
         "/p/app.toml:4:11: messages.caption: the value is 8192 bytes long; the launcher reads at most 8191\n"},
        {std::string(application) + "[messages]\ncaption = \"\xE6\x97\xA5\"\n",
         "/p/app.toml:4:11: messages.caption: the character \xE6\x97\xA5 cannot be written in Windows-1252, the code "
         "page of the launcher's texts\n"},
        {std::string(application) + "[vm]\noptions = [\"-Da='x' \\\"y\\\"\"]\n",
         "/p/app.toml:4:11: vm.options: the word -Da='x' \"y\" holds both quote characters; the launcher cannot "
         "receive it as one word\n"},
        {std::string(application) + "arguments = \"a \\\"b\"\n",
         "/p/app.toml:3:13: application.arguments: a quote has no closing partner (the launcher would stop with "
         "message 1007)\n"},
        {std::string(application) + "[files]\ninclude = [\"missing.txt\"]\n",
         "/p/app.toml:4:12: files.include: /p/missing.txt does not exist or is not a file\n"},
        {std::string(application) + "[files]\ninclude = [{ source = \"data.txt\", name = \"..\\\\data.txt\" }]\n",
         "/p/app.toml:4:12: files.include: the launcher would refuse or fail on the name ..\\data.txt: a component of "
         "two or more dots\n"},
        {std::string(application) + "[files]\ninclude = [{ source = \"data.txt\", name = \"lib/con.txt\" }]\n",
         "/p/app.toml:4:12: files.include: the launcher would refuse or fail on the name lib\\con.txt: a device name\n"},
        {std::string(application) + "[files]\ninclude = [{ source = \"data.txt\", name = \"c:data.txt\" }]\n",
         "/p/app.toml:4:12: files.include: the launcher would refuse or fail on the name c:data.txt: an absolute or "
         "rooted path\n"},
        {std::string(application) + "[files]\ninclude = [{ source = \"data.txt\", name = \"a/b/data.txt\" }]\n",
         "/p/app.toml:4:12: files.include: the launcher would refuse or fail on the name a\\b\\data.txt: more than one "
         "directory level (the launcher creates only one)\n"},
        {std::string(application) + "[files]\ninclude = [\"data.txt\", { source = \"lib/app.jar\", name = \"DATA.TXT\" }]\n",
         "/p/app.toml:4:24: files.include: the name DATA.TXT is included twice\n"},
        {std::string(application) + "[files]\ninclude = [{ source = \"data.txt\", name = \"a?b.txt\" }]\n",
         "/p/app.toml:4:12: files.include: the launcher would refuse or fail on the name a?b.txt: a character Windows "
         "allows in no file name (< > \" | ? *)\n"},
        {std::string(application) + "[files]\ninclude = [{ source = \"data.txt\", name = \"a\\u0001b\" }]\n",
         "/p/app.toml:4:12: files.include: the launcher would refuse or fail on the name a\x01" "b: a control character\n"},
        {std::string(application) + "[files]\ninclude = [{ source = \"data.txt\", name = \"lib\" }, { source = \"lib/app.jar\", name = \"lib/app.jar\" }]\n",
         "/p/app.toml:4:51: files.include: the names lib and lib\\app.jar make one name the other's directory\n"},
        {std::string(application) + "[keys]\nabc = \"x\"\n", "/p/app.toml:4:1: keys: \"abc\" is not a key number\n"},
        {std::string(application) + "[keys]\n2002 = 1\n",
         "/p/app.toml:4:1: keys.2002: the included files are set by [files] include\n"},
        {std::string(application) + "[keys]\n122 = \"other.Main\"\n",
         "/p/app.toml:4:7: keys.122 sets key 122, which application.main-class (line 2) sets already\n"},
        {std::string(application) + "[locale.\"de-CH\"]\n1234 = \"x\"\n",
         "/p/app.toml:3:9: locale.de-CH: a locale name is a code such as \"de\" or \"de_CH\"\n"},
        {std::string(application) + "[wide]\nx = \"y\"\n", "/p/app.toml:4:1: wide: \"x\" is not a key number\n"},
        {std::string(application) + "[build]\noutput = \"out/\"\n", "/p/app.toml:4:10: build.output: \"out/\" names no file\n"},
        {std::string(application) + "[wide]\n1 = \"a\"\n01 = \"b\"\n",
         "/p/app.toml:5:6: wide sets key 1 twice (line 4 sets it already)\n"},
        {std::string(application) + "[wide]\n5 = \"abc\\u0000x\"\n",
         "/p/app.toml:4:5: wide.5: a text cannot hold a NUL character\n"},
        {std::string(application) + "[build]\ntarget = \"arm\"\n",
         "/p/app.toml:4:10: build.target: \"arm\" is none of \"x86\", \"x64\"\n"},
        {std::string(application) + "[build]\nruntime-jar = \"inside\"\n",
         "/p/app.toml:4:15: build.runtime-jar: \"inside\" is none of \"beside\", \"included\", \"none\"\n"},
        // The names that become resources.
        {std::string(application) + "icon = \"data.txt\"\n",
         "/p/app.toml:3:8: application.icon: /p/data.txt is no icon: not an icon file: shorter than an icon header\n"},
        {std::string(application) + "icon = \"splash.gif\"\n",
         "/p/app.toml:3:8: application.icon: /p/splash.gif is no icon: not an icon file: the header does not start "
         "with 0\n"},
        {std::string(application) + "icon = 5\n",
         "/p/app.toml:3:8: application.icon: expected the path of a file, found an integer\n"},
        {std::string(application) + "icon = \"missing.ico\"\n",
         "/p/app.toml:3:8: application.icon: /p/missing.ico does not exist or is not a file\n"},
        {std::string(application) + "[version]\nfile-version = \"1.2.3.4.5\"\nproduct-version = \"1.70000\"\n",
         "/p/app.toml:4:16: version.file-version: \"1.2.3.4.5\" is no version number: one to four numbers from 0 to "
         "65535 separated by \".\" (\"1.2.3.4\")\n"
         "/p/app.toml:5:19: version.product-version: \"1.70000\" is no version number: one to four numbers from 0 "
         "to 65535 separated by \".\" (\"1.2.3.4\")\n"},
        {std::string(application) + "[version]\nfile-version = \"1\"\ncompany = \"" + std::string(40000, 'c') + "\"\n",
         "/p/app.toml:4:16: version: version information block longer than 65535 bytes\n"},
        {std::string(application) + "[version]\ncompany = \"a\\u0000b\"\n",
         "/p/app.toml:4:11: version.company: a version string cannot hold a NUL character\n"},
        {std::string(application) + "[manifest]\nexecution-level = \"admin\"\ndpi-awareness = true\ncolour = 1\n",
         "/p/app.toml:4:19: manifest.execution-level: \"admin\" is none of \"asInvoker\", \"highestAvailable\", "
         "\"requireAdministrator\"\n"
         "/p/app.toml:5:17: manifest.dpi-awareness: expected a string, found a boolean\n"
         "/p/app.toml:6:1: unknown name \"manifest.colour\"\n"},
        {std::string(application) + "[manifest]\nsupported-os = [\"windows-7\", \"windows-7\"]\n",
         "/p/app.toml:4:16: manifest.supported-os: \"windows-7\" is listed twice\n"},
        {std::string(application) + "[manifest]\nsupported-os = [\"windows-xp\"]\n",
         "/p/app.toml:4:16: manifest.supported-os: \"windows-xp\" is none of \"windows-vista\", \"windows-7\", "
         "\"windows-8\", \"windows-8.1\", \"windows-10\"\n"},
        {std::string(application) + "[splash]\nimage = \"splash.bmp\"\n",
         "/p/app.toml:4:9: splash.image: /p/splash.bmp is no GIF, PNG or JPEG image, the formats the runtime's "
         "splash library shows\n"},
        {std::string(application) + "[splash]\nimage = \"huge.gif\"\n",
         "/p/app.toml:4:9: splash.image: /p/huge.gif is 16777217 bytes long; at most 16777216 are taken\n"},
        {std::string(application) + "[splash]\nenabled = true\nruntime-library = true\n",
         "/p/app.toml:4:11: splash.enabled shows a splash screen, but splash.image is not set\n"},
        // Accepted: every resource name.
        {std::string(application) + "icon = \"app.ico\"\n[version]\nfile-version = \"1.2\"\n[manifest]\n"
                                    "execution-level = \"highestAvailable\"\ndpi-awareness = \"per-monitor-v2\"\n"
                                    "long-path-aware = true\nsupported-os = [\"windows-vista\", \"windows-10\"]\n"
                                    "common-controls = false\n[splash]\nimage = \"splash.gif\"\n",
         ""},
        // Accepted: the modern-runtime letter, raw notation, a named class path entry, one directory level.
        {std::string(application) + "class-path = [{ scan = \"lib\", required = false }]\n[runtime]\n"
                                    "search-sequence = \"B.\\\\jre;M;Y;\"\n[files]\ninclude = [{ source = \"data.txt\", "
                                    "name = \"lib\\\\data.txt\" }]\n",
         ""},
    };
    for (const Case& c : cases) {
        testing::MemoryHost host = hostWithFiles();
        const Read r = readText(c.text, host);
        EXPECT_EQ(r.diagnostics, c.diagnostics) << c.text;
        EXPECT_EQ(r.ok, c.diagnostics.empty()) << c.text;
    }
}

// The block a small file gives: readable names become their keys, defaults
// fill the rest, the runtime jar's entry comes first.
TEST(ConfigFile, NamesBecomeKeysWithDefaults) {
    testing::MemoryHost host = hostWithFiles();
    const Read r = readText(std::string(application) +
                                "class-path = [\"lib\\\\app.jar\", { variable = \"EXTRA\", required = false }]\n"
                                "arguments = [\"--mode\", \"two words\", \"\"]\ntype = \"console\"\n"
                                "[vm]\noptions = [\"-Xmx256m\", \"-Dtitle=say \\\"hi\\\"\"]\nlibrary-path = [\"native\", \"lib\\\\x86\"]\n"
                                "[output]\nerror-file = \"err.log\"\n[runtime]\nmin-version = \"1.8\"\n"
                                "search-sequence = [\"bundled:jre\", \"env:JAVA_HOME\", \"installed\", \"registry\"]\n"
                                "[files]\ninclude = [\"data.txt\"]\n[keys]\n141 = true\n[wide]\n5000 = \"caf\xC3\xA9\"\n",
                            host);
    ASSERT_TRUE(r.ok) << r.diagnostics;
    std::map<std::int32_t, std::string> strings(r.plan.block.strings.begin(), r.plan.block.strings.end());
    EXPECT_EQ(strings.size(), r.plan.block.strings.size()) << "every key once";
    EXPECT_EQ(strings[122], "com.example.Main");
    EXPECT_EQ(strings[121], "A1qarvo-runtime.jar;A1lib\\app.jar;E0EXTRA");
    EXPECT_EQ(strings[124], "--mode \"two words\" \"\"");
    EXPECT_EQ(strings[107], "2");
    EXPECT_EQ(strings[2001], "e");
    EXPECT_EQ(strings[123], "-Xmx256m '-Dtitle=say \"hi\"'");
    EXPECT_EQ(strings[10004], "native;lib\\x86");
    EXPECT_EQ(strings[102], "1");
    EXPECT_EQ(strings[103], "err.log");
    EXPECT_EQ(strings[126], "1.8");
    EXPECT_EQ(strings[128], "Bjre;EJAVA_HOME;M;Y;");
    EXPECT_EQ(strings[141], "1");
    EXPECT_EQ(strings[101], "app");
    EXPECT_EQ(strings[2002], "1");
    EXPECT_EQ(strings[2003], "data.txt");
    EXPECT_EQ(strings[1000], "Error");
    EXPECT_EQ(strings[1016].find("{0}-bit"), strings[1016].find("{0}"));
    for (int id = 1000; id <= 1020; ++id) EXPECT_FALSE(strings[id].empty()) << id;
    ASSERT_EQ(r.plan.block.wides.size(), 1u);
    EXPECT_EQ(r.plan.block.wides[0].second, u"caf\u00e9");
    EXPECT_EQ(r.plan.output, "/p/app.exe");
    EXPECT_EQ(r.plan.runtimeJarCopy, "/p/qarvo-runtime.jar");
    ASSERT_EQ(r.plan.includedFiles.size(), 1u);
    EXPECT_EQ(r.plan.includedFiles[0].source, "/p/data.txt");
    EXPECT_EQ(r.plan.includedFiles[0].size, 4u);
}

// Resource names become the plan's resources: defaults filled in, the
// manifest's architecture the target's, the splash keys set by the image.
TEST(ConfigFile, ResourceNamesBecomeTheExesResources) {
    testing::MemoryHost host = hostWithFiles();
    Read r;
    std::vector<Diagnostic> diagnostics;
    r.ok = readConfiguration(std::string(application) + "icon = \"app.ico\"\n[version]\nfile-version = \"2.1\"\n"
                                 "company = \"Tarnwell \u00A9\"\n[manifest]\nlong-path-aware = true\n"
                                 "[splash]\nimage = \"splash.gif\"\n[build]\noutput = \"out/Tool.exe\"\n",
                             {"/p/app.toml", "", "x64", jar}, host, r.plan, diagnostics);
    ASSERT_TRUE(r.ok) << (diagnostics.empty() ? "" : diagnostics[0].text());
    const ApplicationResources& resources = r.plan.resources;
    EXPECT_EQ(resources.icoFile, host.files.at("/p/app.ico"));
    ASSERT_TRUE(resources.version);
    EXPECT_EQ(resources.version->fileVersion, (VersionNumber{2, 1, 0, 0}));
    EXPECT_EQ(resources.version->productVersion, resources.version->fileVersion);
    EXPECT_EQ(resources.version->productVersionText, u"2.1");
    EXPECT_EQ(resources.version->companyName, u"Tarnwell \u00A9");
    EXPECT_EQ(resources.version->originalFilename, u"Tool.exe");
    EXPECT_EQ(resources.manifest, (ManifestOptions{.longPathAware = true, .architecture = ManifestArchitecture::amd64}));
    EXPECT_EQ(resources.splashImage, host.files.at("/p/splash.gif"));
    std::map<std::int32_t, std::string> strings(r.plan.block.strings.begin(), r.plan.block.strings.end());
    EXPECT_EQ(strings[108], "1");
    EXPECT_EQ(strings[10123], "1");
    // The default search sequence has the modern-runtime letter between the variables and the registry.
    EXPECT_EQ(strings[128], "B.\\jre;EJAVA_HOME;EJDK_HOME;M;Y;");
    // Nothing set: no resource but the generic launcher's manifest.
    const Read plain = readText(application, host);
    ASSERT_TRUE(plain.ok) << plain.diagnostics;
    EXPECT_EQ(plain.plan.resources, ApplicationResources{});
}

TEST(ConfigFile, TheRuntimeJarTravelsAsTheConfigurationSays) {
    const struct Case {
        const char* placement;
        const char* classPath;    // key 121
        const char* names;        // key 2003
        const char* copy;
    } cases[] = {
        {"beside", "A1qarvo-runtime.jar;A1app.jar", nullptr, "/out/qarvo-runtime.jar"},
        {"included", "A1app.jar", "qarvo-runtime.jar", ""},
        {"none", "A1app.jar", nullptr, ""},
    };
    for (const Case& c : cases) {
        testing::MemoryHost host = hostWithFiles();
        const Read r = readText(std::string(application) + "class-path = [\"app.jar\"]\n[build]\noutput = \"/out/x.exe\"\n"
                                    "runtime-jar = \"" + c.placement + "\"\n",
                                host);
        ASSERT_TRUE(r.ok) << r.diagnostics;
        std::map<std::int32_t, std::string> strings(r.plan.block.strings.begin(), r.plan.block.strings.end());
        EXPECT_EQ(strings[121], c.classPath) << c.placement;
        EXPECT_EQ(strings.count(2003) ? strings[2003] : std::string(), c.names ? c.names : "") << c.placement;
        EXPECT_EQ(r.plan.runtimeJarCopy, c.copy) << c.placement;
    }
}

// Locale sections keep the file's order: a later section wins in the launcher.
TEST(ConfigFile, LocaleSectionsKeepTheFilesOrder) {
    testing::MemoryHost host = hostWithFiles();
    const Read r = readText(std::string(application) + "[locale.de_CH]\n7 = \"b\"\n[locale.de]\n7 = \"a\"\n8 = \"c\"\n", host);
    ASSERT_TRUE(r.ok) << r.diagnostics;
    ASSERT_EQ(r.plan.block.localeSections.size(), 2u);
    EXPECT_EQ(r.plan.block.localeSections[0].name, "de_CH");
    EXPECT_EQ(r.plan.block.localeSections[1].name, "de");
    EXPECT_EQ(r.plan.block.localeSections[1].entries.size(), 2u);
}

}  // namespace
}  // namespace qarvo::builder
