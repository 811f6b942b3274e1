package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertSame;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.moravelin.runtime.launcher.FirstRunHook;
import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

class FirstRunnerTest {
    public static final class Agreeing implements FirstRunHook {
        static Path seen;

        @Override
        public boolean firstRun(Path installationDirectory) {
            seen = installationDirectory;
            return true;
        }
    }

    public static final class Refusing implements FirstRunHook {
        @Override
        public boolean firstRun(Path installationDirectory) {
            return false;
        }
    }

    public static final class Failing implements FirstRunHook {
        static final IOException FAILURE = new IOException("disk full");

        @Override
        public boolean firstRun(Path installationDirectory) throws IOException {
            throw FAILURE;
        }
    }

    public static final class NotAHook {
    }

    @TempDir
    Path root;
    Path launcherDir;
    final Map<String, String> properties = new HashMap<>();
    final List<String> notices = new ArrayList<>();
    final ByteArrayOutputStream warnings = new ByteArrayOutputStream();

    @BeforeEach
    void launcher() throws IOException {
        launcherDir = Files.createDirectories(root.resolve("app"));
        properties.put(FirstRunner.MODULE_PROPERTY, launcherDir.resolve("app.exe").toString());
    }

    private FirstRunner runner() {
        return new FirstRunner(properties::get, getClass().getClassLoader(),
                (title, text) -> notices.add(text), new PrintStream(warnings, true));
    }

    /**
     * Puts the launcher fixture {@code ok_first_run_<label>_<applicationType>} (installation
     * directory {@code directory}, key 107 {@code applicationType}) in place, and the first-run
     * marker of that directory.
     */
    private Path install(String label, String directory, String applicationType) throws IOException {
        Fixtures.copy("ok_first_run_" + label + "_" + applicationType, launcherDir.resolve("app.exe"));
        Path marker = launcherDir.resolve(FirstRunner.nativeSeparators(directory))
                .resolve(".moravelin").resolve("firstrun").normalize();
        Files.createDirectories(marker.getParent());
        return Files.createFile(marker);
    }

    // The fixtures ok_installation_<label> hold the value of key 10003.
    @ParameterizedTest(name = "{1} gives {2}")
    @CsvSource({"dot, '.', app", "empty, '', app", "inst, 'inst', app/inst", "parent_shared, '..\\shared', shared",
        "sub_deep, 'sub\\deep\\', app/sub/deep"})
    void installationDirectoryIsTheBlockValueAgainstTheLauncherDirectory(String label, String value,
            String expected) throws IOException {
        Fixtures.copy("ok_installation_" + label, launcherDir.resolve("app.exe"));
        assertEquals(root.resolve(expected), runner().locate().directory);
    }

    @Test
    void hookThatAgreesGetsTheDirectoryAndTheMarkerGoes() throws Exception {
        Path marker = install("inst", "inst", "1");
        properties.put(FirstRunner.HOOK_PROPERTY, Agreeing.class.getName());
        assertTrue(runner().firstRun());
        assertEquals(launcherDir.resolve("inst"), Agreeing.seen);
        assertFalse(Files.exists(marker));
    }

    @Test
    void withoutHookTheMarkerGoesAndTheLaunchGoesOn() throws Exception {
        Path marker = install("dot", ".", "0");
        assertTrue(runner().firstRun());
        assertFalse(Files.exists(marker));
    }

    @Test
    void hookThatRefusesStopsTheLaunchAndKeepsTheMarker() throws Exception {
        Path marker = install("dot", ".", "0");
        properties.put(FirstRunner.HOOK_PROPERTY, Refusing.class.getName());
        assertFalse(runner().firstRun());
        assertTrue(Files.exists(marker));
    }

    @ParameterizedTest
    @CsvSource({"1, true", "0, false", "5, false"})
    void failingHookIsThrownOnAndShownForWindowedApplications(String type, boolean shown)
            throws Exception {
        Path marker = install("dot", ".", type);
        properties.put(FirstRunner.HOOK_PROPERTY, Failing.class.getName());
        assertSame(Failing.FAILURE, assertThrows(IOException.class, () -> runner().firstRun()));
        assertTrue(Files.exists(marker));
        assertEquals(shown ? 1 : 0, notices.size());
        assertTrue(!shown || notices.get(0).contains("java.io.IOException: disk full"), notices::toString);
    }

    @Test
    void unusableHookClassesAreNamed() throws Exception {
        install("dot", ".", "0");
        properties.put(FirstRunner.HOOK_PROPERTY, "com.example.NoSuchHook");
        Exception missing = assertThrows(ClassNotFoundException.class, () -> runner().firstRun());
        assertTrue(missing.getMessage().contains("com.example.NoSuchHook (property qarvo.firstRunHook)"));
        properties.put(FirstRunner.HOOK_PROPERTY, NotAHook.class.getName());
        Exception wrong = assertThrows(ClassCastException.class, () -> runner().firstRun());
        assertTrue(wrong.getMessage().contains("does not implement"));
    }

    @Test
    void unreadableLauncherFallsBackToItsDirectoryWithAWarning() throws Exception {
        Files.write(launcherDir.resolve("app.exe"), "not an executable".getBytes("US-ASCII"));
        Path marker = Files.createFile(Files.createDirectories(launcherDir.resolve(".moravelin"))
                .resolve("firstrun"));
        assertTrue(runner().firstRun());
        assertFalse(Files.exists(marker));
        assertTrue(warnings.toString("UTF-8").contains("taking " + launcherDir), warnings::toString);
    }
}
