package com.qarvo.runtime.internal;

import java.util.Arrays;

/**
 * The parameter array the native launcher hands to {@code WinLauncher.main}, taken apart.
 *
 * <pre>
 *   a[0]  "true" for a windowed application, else "false"
 *   a[1]  the application's main class, dotted form
 *   a[2]  error-output file, or "" for no redirection
 *   a[3]  standard-output file, or "" for no redirection
 *   a[4]  "true": redirected output is appended to existing files
 *   a[5]  the launcher's own path as it stood on its command line (absent when the list was empty)
 *   a[6…] default arguments, then the user's arguments: what the application's main receives
 * </pre>
 */
public final class LaunchArguments {
    /** Number of leading entries that are the launcher's own, not the application's. */
    static final int LEAD_ENTRIES = 5;

    public final boolean windowed;
    public final String mainClass;
    /** Error-output file as passed, "" when not redirected. */
    public final String errorFile;
    /** Standard-output file as passed, "" when not redirected. */
    public final String outputFile;
    public final boolean appendOutput;
    /** The launcher's own first argument, or null when the launcher did not pass one. */
    public final String launcherPath;
    private final String[] applicationArguments;

    private LaunchArguments(String[] a) {
        windowed = flag(a, 0, "GUI flag");
        mainClass = a[1] == null ? "" : a[1].trim();
        errorFile = a[2] == null ? "" : a[2];
        outputFile = a[3] == null ? "" : a[3];
        appendOutput = flag(a, 4, "append flag");
        launcherPath = a.length > LEAD_ENTRIES ? a[LEAD_ENTRIES] : null;
        applicationArguments = a.length > LEAD_ENTRIES + 1
                ? Arrays.copyOfRange(a, LEAD_ENTRIES + 1, a.length) : new String[0];
    }

    /**
     * Reads the array.
     *
     * @throws IllegalArgumentException when it has fewer than five entries, a flag is neither
     *     "true" nor "false" (which also catches an array in the wrong order), or no main class
     *     is named
     */
    public static LaunchArguments parse(String[] a) {
        if (a == null || a.length < LEAD_ENTRIES) {
            throw new IllegalArgumentException("the launcher passed " + (a == null ? 0 : a.length)
                    + " parameters; expected at least " + LEAD_ENTRIES
                    + " (GUI flag, main class, error file, output file, append flag)");
        }
        LaunchArguments parsed = new LaunchArguments(a);
        if (parsed.mainClass.isEmpty()) {
            throw new IllegalArgumentException("the launcher passed no application main class");
        }
        return parsed;
    }

    /** The arguments for the application's main: a fresh copy each call. */
    public String[] applicationArguments() {
        return applicationArguments.clone();
    }

    private static boolean flag(String[] a, int index, String what) {
        if ("true".equals(a[index])) {
            return true;
        }
        if ("false".equals(a[index])) {
            return false;
        }
        throw new IllegalArgumentException("parameter " + index + " (" + what
                + ") must be \"true\" or \"false\", not \"" + a[index] + "\"");
    }
}
