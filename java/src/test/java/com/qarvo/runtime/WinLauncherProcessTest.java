package com.qarvo.runtime;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.qarvo.runtime.internal.ChildJvm;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.concurrent.TimeUnit;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/**
 * The hand-over in a virtual machine of its own, started the way the launcher leaves it: the
 * launcher class as main class with the launcher's parameter array, the sample application on
 * the class path. The standard java launcher, like ours, waits for non-daemon threads after main.
 */
class WinLauncherProcessTest {
    static final String SAMPLE = "com.example.sample.RecordingApp";

    @TempDir
    Path dir;
    Path launcherDir;

    @BeforeEach
    void launcherDirectory() throws IOException {
        launcherDir = Files.createDirectories(dir.resolve("app"));
    }

    private int run(String launcherClass, String mainClass, String errorFile, String outputFile,
            String... arguments) throws Exception {
        String sampleJar = System.getProperty("qarvo.test.sampleJar");
        assertNotNull(sampleJar, "-Dqarvo.test.sampleJar must name the sample application's jar");
        Path launcher = launcherDir.resolve("app.exe");
        List<String> command = new ArrayList<>(Arrays.asList(
                "-Dsample.recordFile=" + dir.resolve("record.txt"), "-Dqarvo.moduleName=" + launcher,
                "-Dqarvo.tempDir=", launcherClass, "false", mainClass, errorFile, outputFile, "false",
                launcher.toString()));
        command.addAll(Arrays.asList(arguments));
        Process process = ChildJvm.command(Arrays.asList(ChildJvm.locationOf(WinLauncher.class), sampleJar),
                command.toArray(new String[0]))
                .redirectOutput(dir.resolve("stdout.txt").toFile())
                .redirectError(dir.resolve("stderr.txt").toFile()).start();
        assertTrue(process.waitFor(60, TimeUnit.SECONDS), "the virtual machine did not end");
        return process.exitValue();
    }

    private String read(String file) {
        try {
            return new String(Files.readAllBytes(dir.resolve(file)), StandardCharsets.UTF_8);
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        }
    }

    @Test
    void normalEndWaitsForTheApplicationsThreadsAndRedirectsBothStreams() throws Exception {
        int exit = run(WinLauncher.class.getName(), SAMPLE, "logs/err.log", "logs/out.log",
                "one", "", "two words", "--sample-thread=300", "--sample-out=hello", "--sample-err=oops");
        assertEquals(0, exit, () -> "stderr: " + read("stderr.txt"));
        String record = read("record.txt");
        assertTrue(record.startsWith("args 6\narg 0 \"one\"\narg 1 \"\"\narg 2 \"two words\"\n"), record);
        assertTrue(record.contains("property qarvo.moduleName \"" + launcherDir.resolve("app.exe")), record);
        assertTrue(record.endsWith("end\nthread finished\n"), record);
        assertEquals("hello\n", read("app/logs/out.log"));
        assertEquals("oops\n", read("app/logs/err.log"));
        assertEquals("", read("stdout.txt"));
    }

    @Test
    void systemExitEndsTheProcessWithItsCodeAndLeavesNoEmptyErrorFile() throws Exception {
        assertEquals(7, run("com.moravelin.runtime.launcher.WinLauncher", SAMPLE, "err.log", "",
                "--sample-exit=7"));
        assertFalse(Files.exists(launcherDir.resolve("err.log")));
        assertTrue(read("record.txt").endsWith("end\n"));
    }

    @Test
    void anExceptionOfMainReachesTheRedirectedErrorOutput() throws Exception {
        assertEquals(1, run(WinLauncher.class.getName(), SAMPLE, "err.log", "", "--sample-throw=broken"));
        assertTrue(read("app/err.log").contains("java.lang.IllegalStateException: broken"),
                () -> "stderr: " + read("stderr.txt"));
    }
}
