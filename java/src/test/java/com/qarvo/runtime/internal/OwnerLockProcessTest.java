package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.BufferedReader;
import java.io.InputStreamReader;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Arrays;
import java.util.concurrent.TimeUnit;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/** The marker lock against a real second process: alive while it runs, gone once it is killed. */
class OwnerLockProcessTest {
    @TempDir
    Path temp;

    @Test
    void aMarkerIsAliveWhileItsProcessRunsAndStaleOnceItIsKilled() throws Exception {
        Path stale = Files.createDirectories(temp.resolve("qvo51.tmp_dir"));
        Files.write(stale.resolve("app.jar"), new byte[] {1});
        Path marker = stale.resolve(TempDirCleanup.MARKER);
        Process holder = ChildJvm.command(Arrays.asList(ChildJvm.locationOf(LockHolder.class),
                ChildJvm.locationOf(LocalTempFileSystem.class)), LockHolder.class.getName(),
                marker.toString()).redirectErrorStream(true).start();
        LocalTempFileSystem disk = new LocalTempFileSystem();
        TempDirCleanup sweeper = new TempDirCleanup(disk, temp.resolve("qvo52.tmp_dir"));
        try {
            BufferedReader out = new BufferedReader(new InputStreamReader(holder.getInputStream(),
                    StandardCharsets.UTF_8));
            assertEquals("claimed", out.readLine());
            assertEquals(TempFileSystem.Owner.ALIVE, disk.owner(marker));
            assertEquals(0, sweeper.sweep(System.currentTimeMillis()));
            assertTrue(Files.exists(stale.resolve("app.jar")));
        } finally {
            holder.destroyForcibly();
            assertTrue(holder.waitFor(30, TimeUnit.SECONDS));
        }
        assertEquals(TempFileSystem.Owner.GONE, disk.owner(marker));
        assertEquals(1, sweeper.sweep(System.currentTimeMillis()));
        assertFalse(Files.exists(stale));
    }
}
