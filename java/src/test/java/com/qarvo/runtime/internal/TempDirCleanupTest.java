package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.HashMap;
import java.util.HashSet;
import java.util.Map;
import java.util.Set;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

class TempDirCleanupTest {
    static final long NOW = 10L * 24 * 60 * 60 * 1000;
    static final long HOUR = 60 * 60 * 1000;

    /** The local disk, with what Windows and other processes would decide set by the test. */
    static final class ScriptedFileSystem extends LocalTempFileSystem {
        final Set<Path> heldOpen = new HashSet<>();
        final Map<Path, Owner> owners = new HashMap<>();
        final Map<Path, Long> modified = new HashMap<>();

        @Override
        public boolean delete(Path path) {
            return !heldOpen.contains(path) && super.delete(path);
        }

        @Override
        public long lastModifiedMillis(Path path) {
            return modified.getOrDefault(path, NOW);
        }

        @Override
        public Owner owner(Path marker) {
            Owner scripted = owners.get(marker.getParent());
            return scripted != null ? scripted : super.owner(marker);
        }
    }

    @TempDir
    Path temp;
    Path own;
    final ScriptedFileSystem fs = new ScriptedFileSystem();

    @BeforeEach
    void ownDirectory() throws IOException {
        own = launcherDirectory("qvoFFFF.tmp_dir");
    }

    private Path launcherDirectory(String name) throws IOException {
        Path dir = Files.createDirectories(temp.resolve(name).resolve("lib"));
        Files.write(dir.resolve("app.jar"), new byte[] {1, 2, 3});
        Files.write(dir.getParent().resolve("config.txt"), new byte[] {4});
        Files.createFile(TempDirCleanup.reservingFile(dir.getParent()));
        return dir.getParent();
    }

    @ParameterizedTest
    @CsvSource({"'', false", "/tmp/qvo1.tmp, false", "/tmp/qvo1.tmp_dir, true", "/tmp/_dir, false",
        "_dir, false", "/tmp/qvo1.tmp_dir/, false", "qvo9_dir, true"})
    void onlyAPropertyEndingInDirNamesADirectoryToRemove(String property, boolean named) {
        Path dir = TempDirCleanup.launcherTempDirectory(property);
        assertEquals(named, dir != null);
        assertTrue(!named || dir.equals(Paths.get(property).toAbsolutePath().normalize()));
    }

    @Test
    void atExitEverythingGoesWhenNothingIsHeldOpen() {
        TempDirCleanup cleanup = new TempDirCleanup(fs, own);
        cleanup.claim();
        assertTrue(Files.exists(own.resolve(TempDirCleanup.MARKER)));
        assertTrue(cleanup.removeOwn());
        assertFalse(Files.exists(own));
        assertFalse(Files.exists(TempDirCleanup.reservingFile(own)));
    }

    @Test
    void atExitAFileHeldOpenKeepsTheDirectoryAndItsMarker() {
        fs.heldOpen.add(own.resolve("lib/app.jar"));
        TempDirCleanup cleanup = new TempDirCleanup(fs, own);
        cleanup.claim();
        assertFalse(cleanup.removeOwn());
        assertTrue(Files.exists(own.resolve("lib/app.jar")));
        assertTrue(Files.exists(own.resolve(TempDirCleanup.MARKER)));
        assertFalse(Files.exists(own.resolve("config.txt")));
        assertTrue(Files.exists(TempDirCleanup.reservingFile(own)));
    }

    @ParameterizedTest
    @CsvSource({
        "qvo1A2B.tmp_dir, GONE, 0, true",
        "qvo1A2C.tmp_dir, ALIVE, 100, false",
        "qvo1A2D.tmp_dir, NONE, 25, true",
        "qvo1A2E.tmp_dir, NONE, 23, false",
        "qvo4711_dir, GONE, 0, true",
        "qvo_w_testdir, GONE, 100, false",
        "qvo_p12.tmp_dir, GONE, 100, false",
        "other.tmp_dir, GONE, 100, false",
        "qvoFFFF.tmp_dir, GONE, 100, false"})
    void sweepRemovesDirectoriesOfEndedRunsOnly(String name, TempFileSystem.Owner owner, int ageHours,
            boolean removed) throws IOException {
        Path candidate = name.equals(own.getFileName().toString()) ? own : launcherDirectory(name);
        fs.owners.put(candidate, owner);
        fs.modified.put(candidate, NOW - ageHours * HOUR);
        assertEquals(removed ? 1 : 0, new TempDirCleanup(fs, own).sweep(NOW));
        assertEquals(!removed, Files.exists(candidate));
        assertEquals(!removed, Files.exists(TempDirCleanup.reservingFile(candidate)));
    }

    @Test
    void sweepDeletesLinksWithoutFollowingThemAndKeepsAReservingFileThatIsNotEmpty()
            throws IOException {
        Path stale = launcherDirectory("qvoAB.tmp_dir");
        Path outside = Files.write(temp.resolve("precious.txt"), new byte[] {42});
        Files.createSymbolicLink(stale.resolve("link"), temp);
        Files.write(TempDirCleanup.reservingFile(stale), new byte[] {1});
        fs.owners.put(stale, TempFileSystem.Owner.GONE);
        assertEquals(1, new TempDirCleanup(fs, own).sweep(NOW));
        assertFalse(Files.exists(stale));
        assertTrue(Files.exists(outside));
        assertTrue(Files.exists(TempDirCleanup.reservingFile(stale)));
    }
}
