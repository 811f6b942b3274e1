package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.concurrent.BlockingQueue;
import java.util.concurrent.LinkedBlockingQueue;
import java.util.concurrent.TimeUnit;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class NotificationServiceTest {
    static final long WAIT_SECONDS = 10;

    @TempDir
    Path dir;

    private static void writeNotification(Path file, String line) throws IOException {
        Files.write(file, (line + "\n").getBytes(StandardCharsets.UTF_16LE));
    }

    @Test
    void deliversSplitArgumentsOfAFileThatAppearsLater() throws Exception {
        Path file = dir.resolve("qvo_p10.tmp");
        NotificationService service = new NotificationService(file);
        BlockingQueue<String[]> received = new LinkedBlockingQueue<>();
        service.register(received::add);
        writeNotification(file, "-open 'my file.txt'");
        String[] arguments = received.poll(WAIT_SECONDS, TimeUnit.SECONDS);
        assertArrayEquals(new String[] {"-open", "my file.txt"}, arguments);
        assertTrue(!Files.exists(file));
    }

    @Test
    void takesTheFileAtOnceAndKeepsItsArgumentsForALaterListener() throws Exception {
        Path file = dir.resolve("qvo_p11.tmp");
        NotificationService service = new NotificationService(file);
        service.start();
        writeNotification(file, "first");
        long deadline = System.nanoTime() + TimeUnit.SECONDS.toNanos(WAIT_SECONDS);
        while (Files.exists(file) && System.nanoTime() < deadline) {
            Thread.sleep(20);
        }
        assertTrue(!Files.exists(file), "the later launcher must not wait for a listener");
        BlockingQueue<String[]> received = new LinkedBlockingQueue<>();
        service.register(received::add);
        assertArrayEquals(new String[] {"first"}, received.poll(WAIT_SECONDS, TimeUnit.SECONDS));
    }

    @Test
    void onlyANamedFileIsWatched() {
        assertTrue(NotificationService.fileFromProperty(null) == null);
        assertTrue(NotificationService.fileFromProperty(" ") == null);
        assertTrue(dir.resolve("qvo_p1.tmp").equals(
                NotificationService.fileFromProperty(dir.resolve("qvo_p1.tmp").toString())));
    }
}
