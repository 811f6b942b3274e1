#include "launcher/StartupArguments.h"

#include <gtest/gtest.h>

#include "base/LauncherKind.h"
#include "config/Configuration.h"
#include "config/ReadConfiguration.h"
#include "testing/TestSystem.h"
#include "report/ErrorReport.h"
#include "report/Log.h"

namespace qarvo {
namespace {

using testing::TestSystem;

TEST(StartupArguments, RemovesTheLogSwitchOnlyAsElementOne) {
    struct Case {
        ArgumentList in;
        ArgumentList out;
        bool requested;
    } cases[] = {
        {{u"run.exe", u"-create-mrv-log", u"a"}, {u"run.exe", u"a"}, true},
        {{u"run.exe", u"-create-qvo-log"}, {u"run.exe"}, true},
        {{u"run.exe", u"/create-mrv-log"}, {u"run.exe"}, true},
        {{u"run.exe", u"/create-qvo-log"}, {u"run.exe"}, true},
        {{u"run.exe", u"a", u"-create-mrv-log"}, {u"run.exe", u"a", u"-create-mrv-log"}, false},
        {{u"-create-mrv-log"}, {u"-create-mrv-log"}, false},
        {{u"run.exe", u"-CREATE-MRV-LOG"}, {u"run.exe", u"-CREATE-MRV-LOG"}, false},
    };
    for (Case& c : cases) {
        TestSystem system;
        EXPECT_EQ(removeLogSwitch(c.in), c.requested);
        EXPECT_EQ(c.in, c.out);
        EXPECT_EQ(createLogRequested(), c.requested);
    }
}

TEST(StartupArguments, LauncherKindAndBuilderName) {
    struct Case {
        const char* value;  // null: key absent
        LauncherKind kind;
        const char* builder;
        bool installer;
    } cases[] = {
        {"e", LauncherKind::plain, "qarvo", false},
        {"i", LauncherKind::installer, "moravelin", true},
        {"x", LauncherKind::other, "moravelin", false},
        {nullptr, LauncherKind::other, "moravelin", false},
        {"", LauncherKind::other, "moravelin", false},
        {"ex", LauncherKind::plain, "qarvo", false},  // only the first character fits the 2-byte buffer
    };
    for (const Case& c : cases) {
        TestSystem system;
        if (c.value) configurationMaps().stringValues[2001] = c.value;
        selectLauncherKind();
        EXPECT_EQ(launcherKind(), c.kind);
        EXPECT_STREQ(builderName(), c.builder);
        EXPECT_EQ(isInstallerKind(), c.installer);
    }
}

TEST(StartupArguments, LauncherTypeRuleKeepsDialogsOnlyFor1And5) {
    struct Case {
        const char* type;
        bool dialogs;
    } cases[] = {{"1", true}, {"5", true}, {"2", false}, {nullptr, false}, {"0", false}, {"15", false}};
    for (const Case& c : cases) {
        TestSystem system;
        if (c.type) configurationMaps().stringValues[107] = c.type;
        applyLauncherTypeRule();
        EXPECT_EQ(showErrorDialogs(), c.dialogs) << (c.type ? c.type : "absent");
    }
}

}  // namespace
}  // namespace qarvo
