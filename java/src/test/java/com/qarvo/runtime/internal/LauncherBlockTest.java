package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.util.Arrays;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.CsvSource;
import org.junit.jupiter.params.provider.MethodSource;

class LauncherBlockTest {
    @TempDir
    Path dir;

    @Test
    void readsEveryEntryAndEndsAfterTheLastLocaleSection() throws IOException {
        byte[] block = new TestLauncherFile.Block()
                .string(10003, "first").string(107, "1").string(10003, "inst\\app")
                .string(122, "caf\u00e9".getBytes(StandardCharsets.ISO_8859_1))
                .wide(1001, "Fehler \u00fc").locale("de", 1001, "lokal").locale("", 1002, "x")
                .bytes();
        byte[] closingMarker = {(byte) 0xE8, (byte) 0xE4, 0x13, (byte) 0xD5, 0, 0, 0, 0};
        Path exe = TestLauncherFile.write(dir.resolve("app.exe"), TestLauncherFile.image(), block,
                closingMarker);

        LauncherBlock read = LauncherBlock.read(exe);

        assertEquals("inst\\app", read.string(10003, StandardCharsets.UTF_8));
        assertEquals("caf\u00e9", read.string(122, StandardCharsets.ISO_8859_1));
        assertEquals(1, read.intValue(107));
        assertEquals("", read.string(999, StandardCharsets.UTF_8));
        assertEquals(0, read.intValue(999));
        assertEquals("Fehler \u00fc", read.wide(1001));
        assertEquals(2, read.localeSections().size());
        assertEquals("lokal", read.localeSections().get(0).entries.get(1001));
        assertEquals("", read.localeSections().get(1).name);
        assertEquals(TestLauncherFile.blockOffset(), read.startOffset());
        assertEquals(TestLauncherFile.blockOffset() + block.length, read.endOffset());
    }

    @Test
    void countsOfZeroOrLessAreEmptySections() throws IOException {
        Path exe = TestLauncherFile.write(dir.resolve("app.exe"), TestLauncherFile.image(),
                header(), ints(-1, 0, -7));
        LauncherBlock read = LauncherBlock.read(exe);
        assertEquals(TestLauncherFile.blockOffset() + 20 + 12, read.endOffset());
        assertTrue(read.localeSections().isEmpty());
    }

    static Stream<Arguments> malformedFiles() {
        byte[] image = TestLauncherFile.image();
        byte[] good = new TestLauncherFile.Block().string(10003, "installation")
                .locale("de", 1001, "Fehler").bytes();
        int pe = TestLauncherFile.PE_OFFSET;
        int lastSection = pe + 24 + TestLauncherFile.OPTIONAL_HEADER + 2 * 40;
        return Stream.of(
                Arguments.of("ten bytes", new byte[10], "only 10 bytes"),
                Arguments.of("no MZ", concat(patch(image, 0, 0x5858), good), "no MZ signature"),
                Arguments.of("PE header outside", concat(patch(image, 0x3C, 0x7FFFFFF0), good),
                        "the PE header at offset 2147483632 lies outside the file"),
                Arguments.of("no PE signature", concat(patch(image, pe, 0), good),
                        "no PE signature at offset 128"),
                Arguments.of("no sections", concat(patch(image, pe + 6, 0), good), "has no sections"),
                Arguments.of("raw data outside", concat(patch(image, lastSection + 20, 0x10000000), good),
                        "the configuration block at offset 268435968 lies outside the file"),
                Arguments.of("image alone", image, "cut short: the block magic"),
                Arguments.of("wrong magic", concat(image, ints(0x12345678, 0, 0, 0, 0, 0)),
                        "magic is 0x12345678"),
                Arguments.of("value cut short", concat(image, Arrays.copyOf(good, 40)),
                        "cut short: the string value of key 10003 needs 12 bytes"),
                Arguments.of("negative length", concat(image, header(), ints(1, 10003, -5)),
                        "negative length -5 for the string value of key 10003"),
                Arguments.of("huge length", concat(image, header(), ints(1, 10003, 2 << 20), new byte[64]),
                        "of 2097152 bytes exceeds the limit of 1048576"),
                Arguments.of("huge count", concat(image, header(), ints(1_000_000, 1, 0)),
                        "the string entry count 1000000 exceeds"),
                Arguments.of("locale cut short", concat(image, Arrays.copyOf(good, good.length - 2)),
                        "wide value of key 1001 in locale \"de\""));
    }

    @ParameterizedTest(name = "{0}")
    @MethodSource("malformedFiles")
    void rejectsMalformedFilesNamingTheProblem(String name, byte[] file, String message)
            throws IOException {
        Path exe = TestLauncherFile.write(dir.resolve("bad.exe"), file);
        BlockFormatException e = assertThrows(BlockFormatException.class, () -> LauncherBlock.read(exe));
        assertTrue(e.getMessage().contains(message), e.getMessage());
    }

    @ParameterizedTest
    @CsvSource({"'1', 1", "' 42abc', 42", "'-7', -7", "'+3', 3", "'abc', 0", "'', 0", "'\t9', 9",
        "'12 34', 12"})
    void integersAreReadLikeTheLauncherReadsThem(String text, int expected) {
        assertEquals(expected, NarrowText.atoi(text));
    }

    private static byte[] header() {
        return Arrays.copyOf(new TestLauncherFile.Block().bytes(), 20);
    }

    private static byte[] ints(int... values) {
        ByteBuffer b = ByteBuffer.allocate(4 * values.length).order(ByteOrder.LITTLE_ENDIAN);
        for (int v : values) {
            b.putInt(v);
        }
        return b.array();
    }

    private static byte[] patch(byte[] file, int offset, int value) {
        byte[] copy = file.clone();
        System.arraycopy(TestLauncherFile.le(value), 0, copy, offset, 4);
        return copy;
    }

    private static byte[] concat(byte[]... parts) {
        ByteArrayOutputStream out = new ByteArrayOutputStream();
        for (byte[] part : parts) {
            out.write(part, 0, part.length);
        }
        return out.toByteArray();
    }
}
