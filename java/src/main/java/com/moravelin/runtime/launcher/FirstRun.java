package com.moravelin.runtime.launcher;

import com.qarvo.runtime.internal.FirstRunner;

/**
 * The first-run step of installer-family launchers. Such a launcher calls {@link #firstRun()}
 * before the application whenever the marker file ".moravelin\firstrun" exists below the
 * application's installation directory (which the installer creates), and starts the application
 * only when it returns true.
 */
public final class FirstRun {
    private FirstRun() {
    }

    /**
     * Runs the application's {@link FirstRunHook}, if the system property "qarvo.firstRunHook"
     * names one, and then deletes the first-run marker so that it runs only once.
     *
     * <p>The installation directory is read from the configuration block of the launcher file
     * named by "qarvo.moduleName" (the application directory setting, relative to the launcher's
     * directory). When that block cannot be read, a warning is printed and the launcher's
     * directory is used.
     *
     * @return true to start the application: without a hook, or when the hook returned true.
     *     False when the hook returned false; the marker then stays.
     * @throws Exception what the hook threw, or why it could not be loaded; the marker stays.
     *     For a windowed application (application type 1) a dialog names the failure first.
     */
    public static boolean firstRun() throws Exception {
        return FirstRunner.system().firstRun();
    }
}
