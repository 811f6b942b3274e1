package com.moravelin.runtime.launcher;

import java.nio.file.Path;

/**
 * Work an application does once, at the first start after its installation: for example moving
 * settings of an earlier version or asking for a licence.
 *
 * <p>Name the implementing class in the system property "qarvo.firstRunHook" (a VM option such as
 * {@code -Dqarvo.firstRunHook=com.example.Setup}). It needs a public constructor without
 * parameters and is loaded through the system class loader. Because a hook that fails is run again
 * at the next start, it should be safe to run more than once.
 */
public interface FirstRunHook {
    /**
     * @param installationDirectory the application's installation directory, absolute
     * @return true to go on and start the application; false to end the launch quietly (the
     *     first-run marker stays, so the hook runs again at the next start)
     * @throws Exception to end the launch; the launcher prints the stack trace and the marker
     *     stays
     */
    boolean firstRun(Path installationDirectory) throws Exception;
}
