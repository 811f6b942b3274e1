package com.qarvo.runtime.internal;

import java.io.IOException;
import java.io.InputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/**
 * The notification file through which later starts of a single-instance launcher hand their
 * arguments to the running application: UTF-16LE text without byte-order mark, one line (ended
 * by a line feed) per start, holding that start's arguments exactly as typed.
 *
 * <p>The launcher creates the file without sharing and then writes it in one call, and waits
 * about ten seconds for it to disappear. A poll therefore takes the file only when it can be
 * opened and its text ends in a line feed, and deletes it before handing the lines on, so a file
 * that cannot be deleted yet is read again at the next poll rather than delivered twice. A file
 * that stays incomplete and unchanged for {@link #ABANDON_AFTER_MILLIS} is damaged (its writer
 * is long gone) and is removed, as is one larger than {@link #MAX_BYTES}; otherwise they would
 * block every later start.
 */
final class NotificationFile {
    static final int MAX_BYTES = 1 << 20;
    static final long ABANDON_AFTER_MILLIS = 15_000;

    /** Deletes a file and says whether it is gone. */
    interface Deleter {
        boolean delete(Path file);
    }

    private final Path file;
    private final Deleter deleter;
    private long incompleteSince;
    private int incompleteSize = -1;

    NotificationFile(Path file) {
        this(file, LocalTempFileSystem::deletePath);
    }

    NotificationFile(Path file, Deleter deleter) {
        this.file = file;
        this.deleter = deleter;
    }

    /**
     * One look at the file at time {@code nowMillis}: the lines taken, without their line ends,
     * or an empty list when there is nothing (yet) to take. Problems go to {@code warnings}.
     */
    List<String> poll(long nowMillis, PrintStream warnings) {
        byte[] bytes;
        try {
            bytes = read();
        } catch (NoSuchFileException e) {
            incompleteSize = -1;
            return Collections.emptyList();
        } catch (IOException e) {
            return Collections.emptyList(); // still held by the launcher that writes it
        }
        if (bytes.length > MAX_BYTES) {
            if (delete()) {
                warnings.println("qarvo: removed a start-up notification larger than "
                        + MAX_BYTES + " bytes");
            }
            return Collections.emptyList();
        }
        if (!isComplete(bytes)) {
            if (bytes.length != incompleteSize) {
                incompleteSize = bytes.length;
                incompleteSince = nowMillis;
            } else if (nowMillis - incompleteSince >= ABANDON_AFTER_MILLIS && delete()) {
                incompleteSize = -1;
                warnings.println("qarvo: removed an incomplete start-up notification " + file);
            }
            return Collections.emptyList();
        }
        incompleteSize = -1;
        return delete() ? lines(bytes) : Collections.<String>emptyList();
    }

    private byte[] read() throws IOException {
        try (InputStream in = Files.newInputStream(file)) {
            byte[] buffer = new byte[8192];
            java.io.ByteArrayOutputStream out = new java.io.ByteArrayOutputStream();
            int n;
            while ((n = in.read(buffer)) > 0) {
                out.write(buffer, 0, n);
                if (out.size() > MAX_BYTES) {
                    break;
                }
            }
            return out.toByteArray();
        }
    }

    private boolean delete() {
        return deleter.delete(file);
    }

    static boolean isComplete(byte[] bytes) {
        int n = bytes.length;
        return n >= 2 && n % 2 == 0 && bytes[n - 2] == '\n' && bytes[n - 1] == 0;
    }

    /** The lines of complete text; a carriage return before a line feed is dropped too. */
    static List<String> lines(byte[] bytes) {
        String text = new String(bytes, StandardCharsets.UTF_16LE);
        List<String> lines = new ArrayList<>();
        int start = 0;
        for (int lf = text.indexOf('\n'); lf >= 0; lf = text.indexOf('\n', start)) {
            int end = lf > start && text.charAt(lf - 1) == '\r' ? lf - 1 : lf;
            lines.add(text.substring(start, end));
            start = lf + 1;
        }
        return lines;
    }
}
