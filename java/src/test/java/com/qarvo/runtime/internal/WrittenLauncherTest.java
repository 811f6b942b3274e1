package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Arrays;
import org.junit.jupiter.api.Test;

/**
 * The Java reader against a launcher that the launcher's own C++ writer made: the generic
 * launcher of the 32-bit build with the block of {@code src/test/fixtures/written-launcher.cfg}
 * appended by make_launcher. The build passes its path in {@value #PROPERTY}; without it (no
 * 32-bit build) the tests are skipped.
 */
class WrittenLauncherTest {
    static final String PROPERTY = "qarvo.test.writtenLauncher";

    private static Path launcher() {
        String path = System.getProperty(PROPERTY);
        assumeTrue(path != null && !path.isEmpty(),
                "-D" + PROPERTY + " names no launcher written by make_launcher");
        return Paths.get(path).toAbsolutePath();
    }

    @Test
    void blockReaderReadsWhatTheWriterWrote() throws IOException {
        Path launcher = launcher();
        LauncherBlock block = LauncherBlock.read(launcher);

        assertEquals("Fehler \u2013 Gr\u00fc\u00dfe", block.string(1000, StandardCharsets.UTF_8));
        assertEquals("inst\\app", block.string(10003, StandardCharsets.UTF_8));
        assertEquals("1", block.string(107, StandardCharsets.UTF_8));
        assertEquals(1, block.intValue(107));
        assertEquals("", block.string(999, StandardCharsets.UTF_8));
        assertEquals("", block.wide(1000));
        assertTrue(block.localeSections().isEmpty());

        // The block ends where the writer's closing marker and its padding to a multiple of 512
        // bytes begin.
        byte[] file = Files.readAllBytes(launcher);
        int end = (int) block.endOffset();
        assertArrayEquals(new byte[] {(byte) 0xE8, (byte) 0xE4, 0x13, (byte) 0xD5},
                Arrays.copyOfRange(file, end, end + 4));
        assertEquals(0, file.length % 512);
        for (int i = end + 4; i < file.length; i++) {
            assertEquals(0, file[i], "padding byte at " + i);
        }
    }

    @Test
    void firstRunnerFindsTheInstallationAndTheApplicationType() throws IOException {
        Path launcher = launcher();
        ByteArrayOutputStream warnings = new ByteArrayOutputStream();
        FirstRunner runner = new FirstRunner(
                name -> FirstRunner.MODULE_PROPERTY.equals(name) ? launcher.toString() : null,
                getClass().getClassLoader(), (title, text) -> { }, new PrintStream(warnings, true));

        FirstRunner.Installation installation = runner.locate();

        assertEquals(launcher.getParent().resolve("inst").resolve("app"), installation.directory);
        assertTrue(installation.windowed);
        assertEquals("", warnings.toString("UTF-8"));
    }
}
