package com.moravelin.runtime.launcher;

import com.qarvo.runtime.internal.Launch;

/**
 * The launcher class of installer-family launchers; it behaves exactly as
 * {@link com.qarvo.runtime.WinLauncher}.
 */
public final class WinLauncher {
    private WinLauncher() {
    }

    /** See {@link com.qarvo.runtime.WinLauncher#main(String[])}. */
    public static void main(String[] a) throws Throwable {
        Launch.run(a);
    }
}
