package com.qarvo.runtime.internal;

import java.io.IOException;
import java.nio.channels.FileChannel;
import java.nio.channels.SeekableByteChannel;
import java.nio.charset.Charset;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;
import java.util.ArrayList;
import java.util.Collections;
import java.util.HashMap;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * The configuration block appended to a launcher executable, read the way the launcher reads it.
 *
 * <p>The block starts right after the raw data of the executable's last section (that section
 * header's PointerToRawData + SizeOfRawData). Little-endian, no padding: the magic 0xE8E413D5,
 * two 32-bit header words and a 64-bit length (all ignored), then a 32-bit count and that many
 * string entries (32-bit key, 32-bit byte length, text in the ANSI code page), a count and that
 * many wide entries (key, byte length, UTF-16LE text), and a count and that many locale sections
 * (name as a string, an entry count, then wide entries). A count of 0 or less means none; a later
 * entry of the same key replaces an earlier one.
 *
 * <p>Every offset, count and length is checked against the file before it is used, and no value
 * may exceed {@link #MAX_VALUE_BYTES}.
 */
public final class LauncherBlock {
    static final int MAGIC = 0xE8E413D5;
    static final int MAX_VALUE_BYTES = 1 << 20;
    private static final int PE_OFFSET_FIELD = 0x3C;
    private static final int SECTION_HEADER_BYTES = 40;
    private static final int SMALLEST_ENTRY_BYTES = 8; // a key and a length

    /** A locale section: its name and its wide entries, in block order. */
    static final class LocaleSection {
        final String name;
        final Map<Integer, String> entries;

        LocaleSection(String name, Map<Integer, String> entries) {
            this.name = name;
            this.entries = Collections.unmodifiableMap(entries);
        }
    }

    private final long start;
    private final long end;
    private final Map<Integer, byte[]> strings;
    private final Map<Integer, String> wides;
    private final List<LocaleSection> localeSections;

    private LauncherBlock(long start, long end, Map<Integer, byte[]> strings,
            Map<Integer, String> wides, List<LocaleSection> localeSections) {
        this.start = start;
        this.end = end;
        this.strings = strings;
        this.wides = wides;
        this.localeSections = Collections.unmodifiableList(localeSections);
    }

    /** Reads the block of the launcher executable {@code launcher}. */
    public static LauncherBlock read(Path launcher) throws IOException {
        try (FileChannel channel = FileChannel.open(launcher, StandardOpenOption.READ)) {
            return read(channel);
        }
    }

    static LauncherBlock read(SeekableByteChannel channel) throws IOException {
        BlockInput in = new BlockInput(channel);
        in.seek(locate(in), "the configuration block");
        return parse(in);
    }

    /** File offset of the block: the end of the raw data of the last section. */
    private static long locate(BlockInput in) throws IOException {
        if (in.size() < PE_OFFSET_FIELD + 4) {
            throw new BlockFormatException("not an executable: only " + in.size() + " bytes");
        }
        if (in.readUnsignedShort("the MZ signature") != 0x5A4D) {
            throw new BlockFormatException("not an executable: no MZ signature");
        }
        in.seek(PE_OFFSET_FIELD, "the PE header offset");
        long pe = in.readUnsignedInt("the PE header offset");
        in.seek(pe, "the PE header");
        if (in.readInt("the PE signature") != 0x00004550) {
            throw new BlockFormatException("not an executable: no PE signature at offset " + pe);
        }
        in.seek(pe + 6, "the section count");
        int sections = in.readUnsignedShort("the section count");
        in.seek(pe + 20, "the optional header size");
        int optionalHeader = in.readUnsignedShort("the optional header size");
        if (sections == 0) {
            throw new BlockFormatException("the executable has no sections");
        }
        long lastSection = pe + 24 + optionalHeader + (long) (sections - 1) * SECTION_HEADER_BYTES;
        in.seek(lastSection + 16, "the last section header");
        long rawSize = in.readUnsignedInt("the last section's raw data size");
        long rawOffset = in.readUnsignedInt("the last section's raw data offset");
        return rawOffset + rawSize;
    }

    private static LauncherBlock parse(BlockInput in) throws IOException {
        long start = in.position();
        int magic = in.readInt("the block magic");
        if (magic != MAGIC) {
            throw new BlockFormatException(String.format(
                    "no configuration block at offset %d: magic is 0x%08X", start, magic));
        }
        in.readInt("the first header word");
        in.readInt("the second header word");
        in.readLong("the block length");

        Map<Integer, byte[]> strings = new HashMap<>();
        int count = count(in, "string entry");
        for (int i = 0; i < count; i++) {
            int key = in.readInt("a string entry key");
            strings.put(key, bytes(in, "string value of key " + key));
        }
        Map<Integer, String> wides = new HashMap<>();
        readWideEntries(in, count(in, "wide entry"), wides, "");
        List<LocaleSection> sections = new ArrayList<>();
        int sectionCount = count(in, "locale section");
        for (int i = 0; i < sectionCount; i++) {
            String name = new String(bytes(in, "locale section name"), StandardCharsets.US_ASCII);
            Map<Integer, String> entries = new LinkedHashMap<>();
            readWideEntries(in, count(in, "locale \"" + name + "\" entry"), entries,
                    " in locale \"" + name + "\"");
            sections.add(new LocaleSection(name, entries));
        }
        return new LauncherBlock(start, in.position(), strings, wides, sections);
    }

    private static void readWideEntries(BlockInput in, int count, Map<Integer, String> into,
            String where) throws IOException {
        for (int i = 0; i < count; i++) {
            int key = in.readInt("a wide entry key" + where);
            byte[] value = bytes(in, "wide value of key " + key + where);
            // An odd length leaves its last byte unused, as in the launcher.
            into.put(key, new String(value, 0, value.length & ~1, StandardCharsets.UTF_16LE));
        }
    }

    /** A count; 0 or less means none, more than the rest of the file can hold is an error. */
    private static int count(BlockInput in, String what) throws IOException {
        int count = in.readInt("the " + what + " count");
        if (count > in.remaining() / SMALLEST_ENTRY_BYTES) {
            throw new BlockFormatException("the " + what + " count " + count
                    + " exceeds what the remaining " + in.remaining() + " bytes can hold");
        }
        return Math.max(count, 0);
    }

    private static byte[] bytes(BlockInput in, String what) throws IOException {
        int length = in.readInt("the length of the " + what);
        if (length < 0) {
            throw new BlockFormatException("negative length " + length + " for the " + what);
        }
        if (length > MAX_VALUE_BYTES) {
            throw new BlockFormatException("the " + what + " of " + length
                    + " bytes exceeds the limit of " + MAX_VALUE_BYTES);
        }
        return in.readBytes(length, "the " + what);
    }

    /** File offset of the magic. */
    long startOffset() {
        return start;
    }

    /** File offset just after the last locale section. */
    long endOffset() {
        return end;
    }

    /** The narrow value of {@code key} decoded with {@code charset}; "" when absent. */
    String string(int key, Charset charset) {
        byte[] value = strings.get(key);
        return value == null ? "" : new String(value, charset);
    }

    /** The narrow value of {@code key} in the system's ANSI code page; "" when absent. */
    public String string(int key) {
        return string(key, NarrowText.ansiCharset());
    }

    /** The narrow value read as the launcher reads integers; 0 when absent or not a number. */
    public int intValue(int key) {
        return NarrowText.atoi(string(key, StandardCharsets.ISO_8859_1));
    }

    /** The wide value of {@code key} without locale overrides; "" when absent. */
    String wide(int key) {
        String value = wides.get(key);
        return value == null ? "" : value;
    }

    List<LocaleSection> localeSections() {
        return localeSections;
    }
}
