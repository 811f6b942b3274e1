package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayOutputStream;
import java.io.File;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.HashMap;
import java.util.Map;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;
import org.junit.jupiter.params.provider.ValueSource;

class OutputRedirectionTest {
    @TempDir
    Path dir;
    final ByteArrayOutputStream originalOut = new ByteArrayOutputStream();
    final ByteArrayOutputStream originalErr = new ByteArrayOutputStream();

    private static OutputRedirection.Plan plan(String error, String output, String append) {
        Map<String, String> properties = new HashMap<>();
        properties.put("user.home", "/home/ann");
        properties.put("rel", "logs");
        LaunchArguments args = LaunchArguments.parse(new String[] {"false", "M", error, output, append});
        return OutputRedirection.plan(args, new File("/base"),
                new ValueResolver(properties::get, name -> null));
    }

    @ParameterizedTest
    @CsvSource({"err.log, /base/err.log, ''", "/abs/x/../out.log, /abs/out.log, ''",
        "'${user.home}/e.log', /home/ann/e.log, ''", "'${rel}/e.log', /base/logs/e.log, ''",
        "'', '', ''", "'${NOPE}/e.log', '', 'error output is not redirected to \"${NOPE}/e.log\"'"})
    void namesAreResolvedAgainstTheLauncherDirectory(String name, String expected, String warning) {
        OutputRedirection.Plan plan = plan(name, "", "false");
        assertEquals(expected.isEmpty() ? null : new File(expected), plan.errorFile);
        assertEquals(warning.isEmpty() ? 0 : 1, plan.warnings.size());
        assertTrue(warning.isEmpty() || plan.warnings.get(0).startsWith(warning), plan.warnings::toString);
    }

    private OutputRedirection.Streams open(Path error, Path output, boolean append) {
        OutputRedirection.Plan plan = plan(error == null ? "" : error.toString(),
                output == null ? "" : output.toString(), Boolean.toString(append));
        return OutputRedirection.open(plan, new PrintStream(originalOut, true),
                new PrintStream(originalErr, true));
    }

    @Test
    void outputFileIsCreatedAtOnceAndErrorFileAtItsFirstWrite() throws IOException {
        Path error = dir.resolve("a/b/err.log");
        Path output = dir.resolve("c/out.log");
        OutputRedirection.Streams streams = open(error, output, false);
        assertTrue(Files.exists(output));
        assertFalse(Files.exists(error.getParent()));
        streams.err.print("");
        assertFalse(Files.exists(error));
        streams.err.print("failed");
        assertEquals("failed", read(error));
    }

    @ParameterizedTest
    @ValueSource(booleans = {true, false})
    void appendFlagDecidesWhetherEarlierContentStays(boolean append) throws IOException {
        Path error = Files.write(dir.resolve("err.log"), "old\n".getBytes(StandardCharsets.UTF_8));
        Path output = Files.write(dir.resolve("out.log"), "old\n".getBytes(StandardCharsets.UTF_8));
        OutputRedirection.Streams streams = open(error, output, append);
        streams.out.println("new");
        streams.err.println("new");
        String expected = (append ? "old\n" : "") + "new" + System.lineSeparator();
        assertEquals(expected, read(output));
        assertEquals(expected, read(error));
    }

    @Test
    void bothStreamsToOneFileShareIt() throws IOException {
        Files.createDirectories(dir.resolve("x"));
        OutputRedirection.Streams streams = open(dir.resolve("x/../same.log"), dir.resolve("same.log"),
                false);
        streams.out.print("1 ");
        streams.err.print("2 ");
        streams.out.print("3");
        assertEquals("1 2 3", read(dir.resolve("same.log")));
    }

    @Test
    void aFileThatCannotBeCreatedLeavesTheOriginalStreamWithAWarning() throws IOException {
        Path blocker = Files.createFile(dir.resolve("blocker"));
        OutputRedirection.Streams streams = open(null, blocker.resolve("out.log"), false);
        streams.out.print("still here");
        assertEquals("still here", originalOut.toString("UTF-8"));
        assertTrue(originalErr.toString("UTF-8").startsWith("qarvo: cannot write to "
                + blocker.resolve("out.log")), originalErr::toString);
        open(null, null, false).out.print(", unredirected");
        assertEquals("still here, unredirected", originalOut.toString("UTF-8"));
    }

    private static String read(Path file) throws IOException {
        return new String(Files.readAllBytes(file), StandardCharsets.UTF_8);
    }
}
