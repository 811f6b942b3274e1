package com.qarvo.runtime.internal;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardCopyOption;
import java.util.Properties;

/**
 * Launcher files written by the launcher's own C++ image library before the tests run
 * ({@code src/test/fixtures/WriteFixtures.cpp}): {@code ok_*.exe} to be read, {@code bad_*.exe}
 * to be rejected, {@code offsets.properties} with where the blocks of the first start and end,
 * and {@code *.notification}, notification files written by the launcher's own formatter. The
 * build passes their directory in {@value #PROPERTY}.
 */
final class Fixtures {
    static final String PROPERTY = "qarvo.test.fixtures";

    private Fixtures() {
    }

    private static Path directory() {
        String path = System.getProperty(PROPERTY);
        if (path == null || path.isEmpty()) {
            throw new IllegalStateException("-D" + PROPERTY + " names no directory of launcher fixtures");
        }
        return Paths.get(path);
    }

    /** The fixture {@code name}.exe. */
    static Path file(String name) {
        return directory().resolve(name + ".exe");
    }

    /** Copies the notification file {@code name}.notification to {@code target}. */
    static Path copyNotification(String name, Path target) throws IOException {
        return Files.copy(directory().resolve(name + ".notification"), target,
                StandardCopyOption.REPLACE_EXISTING);
    }

    /** Copies the fixture {@code name}.exe to {@code target}. */
    static Path copy(String name, Path target) throws IOException {
        return Files.copy(file(name), target, StandardCopyOption.REPLACE_EXISTING);
    }

    /** Where the block of {@code name}.exe starts. */
    static long blockStart(String name) throws IOException {
        return offset(name + ".start");
    }

    /** Where the block of {@code name}.exe ends. */
    static long blockEnd(String name) throws IOException {
        return offset(name + ".end");
    }

    private static long offset(String key) throws IOException {
        Properties offsets = new Properties();
        try (InputStream in = Files.newInputStream(directory().resolve("offsets.properties"))) {
            offsets.load(in);
        }
        String value = offsets.getProperty(key);
        if (value == null) {
            throw new IllegalStateException("offsets.properties has no " + key);
        }
        return Long.parseLong(value);
    }
}
