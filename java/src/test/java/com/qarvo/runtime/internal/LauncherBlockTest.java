package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

class LauncherBlockTest {
    @Test
    void readsEveryEntryAndEndsAfterTheLastLocaleSection() throws IOException {
        LauncherBlock read = LauncherBlock.read(Fixtures.file("ok_every_entry"));

        assertEquals("inst\\app", read.string(10003, StandardCharsets.UTF_8));
        assertEquals("caf\u00e9", read.string(122, StandardCharsets.ISO_8859_1));
        assertEquals(1, read.intValue(107));
        assertEquals("", read.string(999, StandardCharsets.UTF_8));
        assertEquals(0, read.intValue(999));
        assertEquals("Fehler \u00fc", read.wide(1001));
        assertEquals(2, read.localeSections().size());
        assertEquals("lokal", read.localeSections().get(0).entries.get(1001));
        assertEquals("", read.localeSections().get(1).name);
        assertEquals(Fixtures.blockStart("ok_every_entry"), read.startOffset());
        assertEquals(Fixtures.blockEnd("ok_every_entry"), read.endOffset());
    }

    @Test
    void countsOfZeroOrLessAreEmptySections() throws IOException {
        LauncherBlock read = LauncherBlock.read(Fixtures.file("ok_counts_zero_or_less"));
        assertEquals(Fixtures.blockStart("ok_counts_zero_or_less") + 20 + 12, read.endOffset());
        assertTrue(read.localeSections().isEmpty());
    }

    @ParameterizedTest(name = "{0}")
    @CsvSource({
        "bad_ten_bytes, only 10 bytes",
        "bad_no_mz, no MZ signature",
        "bad_pe_header_outside, the PE header at offset 2147483632 lies outside the file",
        "bad_no_pe_signature, no PE signature at offset 128",
        "bad_no_sections, has no sections",
        "bad_raw_data_outside, the configuration block at offset 268435968 lies outside the file",
        "bad_image_alone, cut short: the block magic",
        "bad_wrong_magic, magic is 0x12345678",
        "bad_value_cut_short, cut short: the string value of key 10003 needs 12 bytes",
        "bad_negative_length, negative length -5 for the string value of key 10003",
        "bad_huge_length, of 2097152 bytes exceeds the limit of 1048576",
        "bad_huge_count, the string entry count 1000000 exceeds",
        "bad_locale_cut_short, 'wide value of key 1001 in locale \"de\"'"})
    void rejectsMalformedFilesNamingTheProblem(String fixture, String message) {
        BlockFormatException e = assertThrows(BlockFormatException.class,
                () -> LauncherBlock.read(Fixtures.file(fixture)));
        assertTrue(e.getMessage().contains(message), e.getMessage());
    }

    @ParameterizedTest
    @CsvSource({"'1', 1", "' 42abc', 42", "'-7', -7", "'+3', 3", "'abc', 0", "'', 0", "'\t9', 9",
        "'12 34', 12"})
    void integersAreReadLikeTheLauncherReadsThem(String text, int expected) {
        assertEquals(expected, NarrowText.atoi(text));
    }
}
