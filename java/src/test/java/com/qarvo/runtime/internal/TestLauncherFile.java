package com.qarvo.runtime.internal;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Arrays;

/**
 * Writes launcher files for tests: a minimal PE image (DOS header, PE signature, file header,
 * optional header, section table, the last section's raw data) followed by a configuration block
 * in the launcher's format.
 */
final class TestLauncherFile {
    static final int PE_OFFSET = 0x80;
    static final int OPTIONAL_HEADER = 0xE0;
    static final int SECTIONS = 3;
    static final int RAW_OFFSET = 0x400;
    static final int RAW_SIZE = 0x200;

    private TestLauncherFile() {
    }

    /** The image alone; its last section's raw data ends at {@link #blockOffset()}. */
    static byte[] image() {
        ByteBuffer b = ByteBuffer.allocate(RAW_OFFSET + RAW_SIZE).order(ByteOrder.LITTLE_ENDIAN);
        b.put(0, (byte) 'M').put(1, (byte) 'Z').putInt(0x3C, PE_OFFSET);
        b.putInt(PE_OFFSET, 0x00004550).putShort(PE_OFFSET + 4, (short) 0x14C);
        b.putShort(PE_OFFSET + 6, (short) SECTIONS).putShort(PE_OFFSET + 20, (short) OPTIONAL_HEADER);
        int last = PE_OFFSET + 24 + OPTIONAL_HEADER + (SECTIONS - 1) * 40;
        b.putInt(last + 16, RAW_SIZE).putInt(last + 20, RAW_OFFSET);
        for (int i = RAW_OFFSET; i < RAW_OFFSET + RAW_SIZE; i++) {
            b.put(i, (byte) (i * 7)); // resource bytes: anything but a block
        }
        return b.array();
    }

    static int blockOffset() {
        return RAW_OFFSET + RAW_SIZE;
    }

    static Path write(Path file, byte[]... parts) throws IOException {
        ByteArrayOutputStream out = new ByteArrayOutputStream();
        for (byte[] part : parts) {
            out.write(part);
        }
        Files.write(file, out.toByteArray());
        return file;
    }

    /** A launcher file whose block holds {@code strings} (key, value, key, value, …). */
    static Path withStrings(Path file, Object... strings) throws IOException {
        Block block = new Block();
        for (int i = 0; i < strings.length; i += 2) {
            block.string((Integer) strings[i], (String) strings[i + 1]);
        }
        return write(file, image(), block.bytes());
    }

    /** A block written field by field; {@link #bytes()} puts the header in front. */
    static final class Block {
        private final ByteArrayOutputStream strings = new ByteArrayOutputStream();
        private final ByteArrayOutputStream wides = new ByteArrayOutputStream();
        private final ByteArrayOutputStream locales = new ByteArrayOutputStream();
        private int stringCount;
        private int wideCount;
        private int localeCount;

        Block string(int key, String value) {
            return string(key, value.getBytes(StandardCharsets.UTF_8));
        }

        Block string(int key, byte[] value) {
            put(strings, key);
            put(strings, value.length);
            strings.write(value, 0, value.length);
            stringCount++;
            return this;
        }

        Block wide(int key, String value) {
            putWide(wides, key, value);
            wideCount++;
            return this;
        }

        Block locale(String name, Object... entries) {
            byte[] nameBytes = name.getBytes(StandardCharsets.US_ASCII);
            put(locales, nameBytes.length);
            locales.write(nameBytes, 0, nameBytes.length);
            put(locales, entries.length / 2);
            for (int i = 0; i < entries.length; i += 2) {
                putWide(locales, (Integer) entries[i], (String) entries[i + 1]);
            }
            localeCount++;
            return this;
        }

        byte[] bytes() {
            ByteArrayOutputStream body = new ByteArrayOutputStream();
            put(body, stringCount);
            body.write(strings.toByteArray(), 0, strings.size());
            put(body, wideCount);
            body.write(wides.toByteArray(), 0, wides.size());
            put(body, localeCount);
            body.write(locales.toByteArray(), 0, locales.size());
            ByteBuffer head = ByteBuffer.allocate(20).order(ByteOrder.LITTLE_ENDIAN);
            head.putInt(LauncherBlock.MAGIC).putInt(0).putInt(0x5EED).putLong(8 + body.size());
            byte[] all = Arrays.copyOf(head.array(), 20 + body.size());
            System.arraycopy(body.toByteArray(), 0, all, 20, body.size());
            return all;
        }

        private static void putWide(ByteArrayOutputStream out, int key, String value) {
            byte[] bytes = value.getBytes(StandardCharsets.UTF_16LE);
            put(out, key);
            put(out, bytes.length);
            out.write(bytes, 0, bytes.length);
        }
    }

    static void put(ByteArrayOutputStream out, int value) {
        byte[] b = ByteBuffer.allocate(4).order(ByteOrder.LITTLE_ENDIAN).putInt(value).array();
        out.write(b, 0, 4);
    }

    /** Little-endian bytes of {@code value}. */
    static byte[] le(int value) {
        return ByteBuffer.allocate(4).order(ByteOrder.LITTLE_ENDIAN).putInt(value).array();
    }
}
