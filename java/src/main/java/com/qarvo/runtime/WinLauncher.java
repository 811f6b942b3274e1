package com.qarvo.runtime;

import com.qarvo.runtime.internal.Launch;

/**
 * The class the native launcher calls once it has created the virtual machine. It prepares the
 * process for the application and then calls the application's {@code main}.
 *
 * <p>The parameter array, as the launcher fills it:
 * <pre>
 *   a[0]  "true" for a windowed application (application type 1), else "false"
 *   a[1]  the application's main class
 *   a[2]  error-output file, "" for none
 *   a[3]  standard-output file, "" for none
 *   a[4]  "true": append redirected output to existing files instead of replacing them
 *   a[5]  the launcher's path as it was started
 *   a[6…] the configured default arguments, then the user's arguments
 * </pre>
 *
 * <p>In this order:
 * <ol>
 *   <li>Standard output and error go to the named files: a relative name is taken against the
 *       launcher's directory, a name beginning with '$' has its {@code ${name}} references
 *       replaced by system properties or else environment variables (a stream whose name refers
 *       to something undefined is not redirected, and a warning says so). Missing directories
 *       are created; the output file is opened at once, the error file only when something is
 *       written to it.</li>
 *   <li>The launcher's temporary directory is claimed for removal at exit, stale ones of earlier
 *       runs are removed in the background, and a single-instance application starts watching for
 *       {@link StartupNotification start-up notifications}.</li>
 *   <li>The main class is loaded through the system class loader and its
 *       {@code static void main(String[])} called with a[6…].</li>
 * </ol>
 *
 * <p>This method returns when the application's {@code main} returns; the launcher then waits
 * for the application's other non-daemon threads. When {@code main} throws, or the class or method
 * cannot be found, the exception is thrown on, so that the launcher prints its stack trace to the
 * (redirected) error output and reports the failure; for a windowed application a dialog first
 * names the exception, unless the virtual machine is headless. An array not laid out as above
 * gives an {@link IllegalArgumentException}.
 */
public final class WinLauncher {
    private WinLauncher() {
    }

    public static void main(String[] a) throws Throwable {
        Launch.run(a);
    }
}
