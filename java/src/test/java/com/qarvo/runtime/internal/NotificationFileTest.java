package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Arrays;
import java.util.Collections;
import java.util.List;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

class NotificationFileTest {
    @TempDir
    Path dir;
    final ByteArrayOutputStream warnings = new ByteArrayOutputStream();

    static byte[] utf16(String text) {
        return text.getBytes(StandardCharsets.UTF_16LE);
    }

    static Stream<Arguments> contents() {
        byte[] complete = utf16("-open \"a b.txt\"\n");
        return Stream.of(
                Arguments.of("one start", complete, Arrays.asList("-open \"a b.txt\"")),
                Arguments.of("start without arguments", utf16("\n"), Arrays.asList("")),
                Arguments.of("two starts", utf16("a\nb c\n"), Arrays.asList("a", "b c")),
                Arguments.of("carriage return", utf16("x y\r\n"), Arrays.asList("x y")),
                Arguments.of("non-ASCII", utf16("gr\u00fc\u00dfe \u65e5\n"),
                        Arrays.asList("gr\u00fc\u00dfe \u65e5")),
                Arguments.of("created, not yet written", new byte[0], null),
                Arguments.of("no line feed yet", utf16("-open"), null),
                Arguments.of("half a character", Arrays.copyOf(complete, complete.length - 1), null),
                Arguments.of("narrow text", "a\n".getBytes(StandardCharsets.US_ASCII), null));
    }

    @ParameterizedTest(name = "{0}")
    @MethodSource("contents")
    void takesOnlyCompleteTextAndDeletesWhatItTakes(String name, byte[] bytes, List<String> lines)
            throws IOException {
        Path file = Files.write(dir.resolve("qvo_p1.tmp"), bytes);
        List<String> taken = new NotificationFile(file).poll(0, new PrintStream(warnings));
        assertEquals(lines == null ? Collections.emptyList() : lines, taken);
        assertEquals(lines == null, Files.exists(file));
    }

    static String repeated(char c, int count) {
        char[] chars = new char[count];
        Arrays.fill(chars, c);
        return new String(chars);
    }

    /** What the running instance gets from the files the launcher's own formatter wrote. */
    static Stream<Arguments> launcherWritten() {
        String longWord = repeated('x', 20000);
        return Stream.of(
                Arguments.of("open", "-open \"a b.txt\"", Arrays.asList("-open", "a b.txt")),
                Arguments.of("no_arguments", "", Collections.emptyList()),
                Arguments.of("blanks", "two  blanks 'single q'", Arrays.asList("two", "blanks", "single q")),
                Arguments.of("non_ascii", "gr\u00fc\u00dfe \u65e5\u672c \ud83d\ude00",
                        Arrays.asList("gr\u00fc\u00dfe", "\u65e5\u672c", "\ud83d\ude00")),
                Arguments.of("long", "-J-Xmx1g " + longWord, Arrays.asList("-J-Xmx1g", longWord)));
    }

    @ParameterizedTest(name = "{0}")
    @MethodSource("launcherWritten")
    void readsExactlyWhatTheLauncherWrites(String name, String line, List<String> words) throws IOException {
        Path file = Fixtures.copyNotification(name, dir.resolve("qvo_p9.tmp"));
        List<String> taken = new NotificationFile(file).poll(0, new PrintStream(warnings));
        assertEquals(Collections.singletonList(line), taken);
        assertEquals(words, Arrays.asList(CommandLineSplitter.split(taken.get(0))));
        assertFalse(Files.exists(file));
        assertEquals("", warnings.toString());
    }

    @Test
    void aMissingFileGivesNothing() {
        assertTrue(new NotificationFile(dir.resolve("none")).poll(0, new PrintStream(warnings)).isEmpty());
    }

    @Test
    void aFileThatCannotBeDeletedYetIsDeliveredOnlyOnceItIsGone() throws IOException {
        Path file = Files.write(dir.resolve("qvo_p4.tmp"), utf16("again\n"));
        boolean[] deletable = {false};
        NotificationFile notifications = new NotificationFile(file,
                path -> deletable[0] && path.toFile().delete());
        PrintStream out = new PrintStream(warnings, true);
        assertTrue(notifications.poll(0, out).isEmpty());
        deletable[0] = true;
        assertEquals(Arrays.asList("again"), notifications.poll(100, out));
        assertTrue(notifications.poll(200, out).isEmpty());
    }

    @Test
    void anIncompleteFileIsRemovedOnlyAfterStayingUnchanged() throws IOException {
        Path file = Files.write(dir.resolve("qvo_p2.tmp"), utf16("stuck"));
        NotificationFile notifications = new NotificationFile(file);
        PrintStream out = new PrintStream(warnings, true);
        notifications.poll(1_000, out);
        notifications.poll(1_000 + NotificationFile.ABANDON_AFTER_MILLIS - 1, out);
        assertTrue(Files.exists(file));
        Files.write(file, utf16("stuck, growing"));
        notifications.poll(1_000 + NotificationFile.ABANDON_AFTER_MILLIS, out);
        assertTrue(Files.exists(file), "a file that changes is still being written");
        notifications.poll(1_000 + 2 * NotificationFile.ABANDON_AFTER_MILLIS, out);
        assertFalse(Files.exists(file));
        assertTrue(warnings.toString().contains("removed an incomplete start-up notification"));
    }

    @Test
    void anOversizedFileIsRemovedUndelivered() throws IOException {
        byte[] big = new byte[NotificationFile.MAX_BYTES + 2];
        big[big.length - 2] = '\n';
        Path file = Files.write(dir.resolve("qvo_p3.tmp"), big);
        assertTrue(new NotificationFile(file).poll(0, new PrintStream(warnings, true)).isEmpty());
        assertFalse(Files.exists(file));
        assertTrue(warnings.toString().contains("larger than"));
    }
}
