package com.qarvo.runtime.internal;

import com.moravelin.runtime.launcher.FirstRunHook;
import java.io.File;
import java.io.IOException;
import java.io.PrintStream;
import java.lang.reflect.InvocationTargetException;
import java.nio.file.InvalidPathException;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.function.Function;

/** The work behind {@code FirstRun.firstRun()}; see there for the behaviour. */
public final class FirstRunner {
    public static final String HOOK_PROPERTY = "qarvo.firstRunHook";
    public static final String MODULE_PROPERTY = "qarvo.moduleName";
    static final int INSTALLATION_DIRECTORY_KEY = 10003;
    static final int APPLICATION_TYPE_KEY = 107;
    static final int WINDOWED_APPLICATION = 1;

    private final Function<String, String> properties;
    private final ClassLoader loader;
    private final FailureNotice notice;
    private final PrintStream warnings;

    FirstRunner(Function<String, String> properties, ClassLoader loader, FailureNotice notice,
            PrintStream warnings) {
        this.properties = properties;
        this.loader = loader;
        this.notice = notice;
        this.warnings = warnings;
    }

    public static FirstRunner system() {
        return new FirstRunner(System::getProperty, ClassLoader.getSystemClassLoader(),
                FailureNotice.dialog(), System.err);
    }

    /** Where the installation is and how failures are shown, as far as the launcher file tells. */
    static final class Installation {
        final Path directory;
        final boolean windowed;

        Installation(Path directory, boolean windowed) {
            this.directory = directory;
            this.windowed = windowed;
        }

        Path marker() {
            return directory.resolve(".moravelin").resolve("firstrun");
        }
    }

    public boolean firstRun() throws Exception {
        Installation installation = locate();
        String hook = properties.apply(HOOK_PROPERTY);
        if (hook != null && !hook.trim().isEmpty()) {
            boolean goOn;
            try {
                goOn = runHook(hook.trim(), installation.directory);
            } catch (Exception | LinkageError e) {
                if (installation.windowed) {
                    notice.show("First start", FailureNotice.text(hook.trim(), e, null));
                }
                throw e;
            }
            if (!goOn) {
                return false;
            }
        }
        File marker = installation.marker().toFile();
        if (!marker.delete() && marker.exists()) {
            warnings.println("qarvo: cannot delete " + marker
                    + "; the first-run step will run again at the next start");
        }
        return true;
    }

    /**
     * The launcher file that {@code name} (the value of {@link #MODULE_PROPERTY} or the
     * launcher's own first argument) names, as an absolute path in a directory; null when the
     * name is unset, empty or no such path.
     */
    static Path launcherFile(String name) {
        if (name == null || name.isEmpty()) {
            return null;
        }
        try {
            Path file = Paths.get(name).toAbsolutePath();
            return file.getParent() == null ? null : file;
        } catch (InvalidPathException e) {
            return null;
        }
    }

    /** The installation directory from the launcher's block, or a stated fallback. */
    Installation locate() {
        Path launcher = launcherFile(properties.apply(MODULE_PROPERTY));
        if (launcher == null) {
            Path here = Paths.get("").toAbsolutePath();
            warnings.println("qarvo: " + MODULE_PROPERTY + " is not set; taking " + here
                    + " as the installation directory");
            return new Installation(here, false);
        }
        Path launcherDirectory = launcher.getParent();
        try {
            LauncherBlock block = LauncherBlock.read(launcher);
            Path directory = launcherDirectory.resolve(
                    nativeSeparators(block.string(INSTALLATION_DIRECTORY_KEY))).normalize();
            return new Installation(directory,
                    block.intValue(APPLICATION_TYPE_KEY) == WINDOWED_APPLICATION);
        } catch (IOException | InvalidPathException e) {
            warnings.println("qarvo: cannot read the configuration of " + launcher + " ("
                    + e.getMessage() + "); taking " + launcherDirectory
                    + " as the installation directory");
            return new Installation(launcherDirectory, false);
        }
    }

    /** The block stores Windows paths; elsewhere (in tests) backslashes become separators. */
    static String nativeSeparators(String path) {
        return File.separatorChar == '\\' ? path : path.replace('\\', File.separatorChar);
    }

    private boolean runHook(String className, Path installationDirectory) throws Exception {
        Class<?> hookClass;
        try {
            hookClass = Class.forName(className, true, loader);
        } catch (ClassNotFoundException e) {
            throw new ClassNotFoundException("the first-run hook " + className
                    + " (property " + HOOK_PROPERTY + ") is not on the class path", e);
        }
        if (!FirstRunHook.class.isAssignableFrom(hookClass)) {
            throw new ClassCastException("the first-run hook " + className + " does not implement "
                    + FirstRunHook.class.getName());
        }
        FirstRunHook hook;
        try {
            hook = (FirstRunHook) hookClass.getConstructor().newInstance();
        } catch (InvocationTargetException e) {
            throw rethrowable(e.getCause());
        } catch (NoSuchMethodException e) {
            throw new NoSuchMethodException("the first-run hook " + className
                    + " has no public constructor without parameters");
        }
        return hook.firstRun(installationDirectory);
    }

    private static Exception rethrowable(Throwable cause) {
        if (cause instanceof Error) {
            throw (Error) cause;
        }
        return (Exception) cause;
    }
}
