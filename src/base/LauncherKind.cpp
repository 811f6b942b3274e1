#include "base/LauncherKind.h"

namespace qarvo {

namespace {
LauncherKind kind = LauncherKind::other;
}  // namespace

LauncherKind launcherKindOf(char first) {
    switch (first) {
        case 'e': return LauncherKind::plain;
        case 'i': return LauncherKind::installer;
        default: return LauncherKind::other;
    }
}

LauncherKind launcherKind() { return kind; }
void setLauncherKind(LauncherKind value) { kind = value; }

const char* builderName() { return kind == LauncherKind::plain ? "qarvo" : "moravelin"; }

bool isInstallerKind() { return kind == LauncherKind::installer; }

}  // namespace qarvo
