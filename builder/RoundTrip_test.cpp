// build -> inspect gives back the configuration: every value the file sets
// comes out of the built exe's block under the same name with the same value.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "builder/Build.h"
#include "builder/ImageReport.h"
#include "builder/testing/MemoryHost.h"
#include "image/testing/FakeIcon.h"

namespace qarvo::builder {
namespace {

constexpr const char* configuration = R"toml(
[application]
name = "Round Trip"
main-class = "com.example.trip.Main"
class-path = ["lib\\app.jar", { scan = "plugins", required = false }, { variable = "EXTRA_CP", required = true },
              { directory = "classes", required = false }]
arguments = ["--mode", "two words", "", "it's"]
working-directory = "work"
type = "console"
kind = "plain"
directory = "."
icon = "app.ico"

[version]
file-version = "4.3.2.1"
product-version = "4.3"
company = "Tarnwell Trips"
description = "Round trip"
copyright = "© 2025 Tarnwell"
product-name = "Trip"
original-file-name = "trip.exe"

[manifest]
execution-level = "requireAdministrator"
dpi-awareness = "per-monitor-v2"
long-path-aware = true
supported-os = ["windows-7", "windows-8.1", "windows-10"]
common-controls = false

[splash]
image = "splash.jpg"

[runtime]
search-sequence = ["bundled:.\\jre", "env:JAVA_HOME", "installed", "path", "registry"]
min-version = "1.8"
max-version = "21"
allow-beta = true
require-jdk = false
vm-type = "server"
installation-id = "1234-5678"

[vm]
options = ["-Xmx256m", "-Dtitle=say \"hi\"", "-Dhome=%QARVO_EXEDIR%"]
allow-dash-j = true
library-path = ["native", "lib\\x86"]

[output]
error-file = "logs\\error.log"
output-file = "$APPDATA\\out.log"
append = true

[single-instance]
enabled = true
global = false

[console]
quiet-switches = true
console-switch = false

[messages]
caption = "Trip Error"
no-runtime-found = "Für diesen Trip fehlt Java ({0}-bit)."

[keys]
141 = "custom"
10200 = "more"

[wide]
5000 = "wide 日本"

[locale.de]
5000 = "breit"

[locale.de_CH]
5000 = "breit (CH)"

[build]
runtime-jar = "beside"
target = "x86"

[files]
include = ["readme.txt", { source = "build/plugin.jar", name = "lib\\plugin.jar" }]
)toml";

// Every value of `expected` is in `actual` at the same place with the same value.
void expectContained(const toml::table& expected, const toml::table& actual, const std::string& path) {
    for (auto&& [key, value] : expected) {
        const std::string name = path + std::string(key.str());
        const toml::node* found = actual.get(key.str());
        ASSERT_NE(found, nullptr) << name << " is missing";
        if (const toml::table* table = value.as_table()) {
            ASSERT_TRUE(found->is_table()) << name;
            expectContained(*table, *found->as_table(), name + ".");
        } else if (const toml::array* array = value.as_array()) {
            ASSERT_TRUE(found->is_array()) << name;
            EXPECT_EQ(*array, *found->as_array()) << name;
        } else {
            value.visit([&](const auto& v) {
                using Value = std::remove_cvref_t<decltype(v)>;
                if constexpr (toml::is_value<Value>) {
                    const Value* other = found->as<typename Value::value_type>();
                    ASSERT_NE(other, nullptr) << name << " has another type";
                    EXPECT_EQ(v.get(), other->get()) << name;
                }
            });
        }
    }
}

TEST(RoundTrip, InspectGivesBackTheConfiguration) {
    testing::MemoryHost host;
    std::ifstream in(QARVO_TEST_LAUNCHER, std::ios::binary);
    host.files["/opt/qarvo/bin/../share/qarvo/launcher-x86.exe"] = {std::istreambuf_iterator<char>(in), {}};
    host.addFile("/jar/qarvo-runtime.jar", "jar");
    host.addFile("/p/readme.txt", "read me");
    host.addFile("/p/build/plugin.jar", "plugin bytes");
    host.files["/p/app.ico"] = qarvo::testing::makeIcoFile(
        {{48, 48, 1, 32, qarvo::testing::bitmapIconImage(48, 0)}, {0, 0, 1, 32, qarvo::testing::pngIconImage({1, 2})}});
    host.addFile("/p/splash.jpg", "\xFF\xD8\xFF\xE0" " a JPEG");
    host.addFile("/p/app.toml", configuration);
    BuildRequest request;
    request.configurationFile = "/p/app.toml";
    request.runtimeJar = "/jar/qarvo-runtime.jar";
    ASSERT_EQ(build(request, host), exitBuilt) << host.standardError;

    std::string json;
    ASSERT_EQ(inspect("/p/app.exe", true, host, json), 0) << host.standardError;
    MemorySource source(host.files.at("/p/app.exe"));
    InspectReport report;
    std::string error;
    ASSERT_TRUE(inspectImage(source, host.files.at("/p/app.exe"), "/p/app.exe", report, error)) << error;
    const toml::table decoded = decodedConfiguration(report);
    EXPECT_EQ(json, reportJson(report));

    toml::parse_result parsed = toml::parse(configuration);
    ASSERT_TRUE(parsed) << parsed.error().description();
    toml::table expected = std::move(parsed.table());
    // Included files come back by name and size; their sources stay on this machine.
    expected.insert_or_assign("files", toml::table{{"include", toml::array{
        toml::table{{"name", "readme.txt"}, {"size", 7}}, toml::table{{"name", "lib\\plugin.jar"}, {"size", 12}}}}});
    // The icon comes back as its images, the splash image as its size.
    expected["application"].as_table()->insert_or_assign(
        "icon", toml::array{toml::table{{"width", 48}, {"height", 48}, {"bits", 32}},
                            toml::table{{"width", 256}, {"height", 256}, {"bits", 32}}});
    expected["splash"].as_table()->insert_or_assign("image", toml::table{{"size", 11}});
    expectContained(expected, decoded, "");
    EXPECT_EQ(decoded["splash"]["enabled"].value_or(false), true);
    EXPECT_EQ(decoded["splash"]["runtime-library"].value_or(false), true);
    EXPECT_NE(json.find("\"architecture\" : \"x86\""), std::string::npos) << json;
    // Defaults the file leaves out are in the block too.
    EXPECT_EQ(decoded["messages"]["main-class-not-loaded"].value_or(std::string()), "Couldn't load main class.");
    EXPECT_NE(json.find("\"runtimeJar\" : \"beside\""), std::string::npos) << json;
}

}  // namespace
}  // namespace qarvo::builder
