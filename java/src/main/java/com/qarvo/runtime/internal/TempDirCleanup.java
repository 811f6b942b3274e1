package com.qarvo.runtime.internal;

import java.io.Closeable;
import java.io.IOException;
import java.nio.file.InvalidPathException;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.regex.Pattern;

/**
 * Removes the launcher's temporary directory (named by the system property "qarvo.tempDir", where
 * the launcher extracted its included files) and the empty file next to it that reserved its name
 * (the same name without "_dir").
 *
 * <p>On Windows the class loader keeps extracted archives open until the process has ended, and an
 * open file cannot be deleted, so removal at exit alone cannot work there. Hence two steps:
 *
 * <ol>
 *   <li>While the application runs, the directory holds a marker file, {@value #MARKER}, locked by
 *       this virtual machine. At exit everything that can be deleted is; when that empties the
 *       directory, the marker, the directory and the reserving file go too. Otherwise the marker
 *       stays, and its lock ends with the process.</li>
 *   <li>At start, in the background, the sibling directories of earlier runs (names
 *       {@code qvo<hex>.tmp_dir} or {@code qvo<digits>_dir}) are examined: one whose marker is
 *       no longer locked belongs to a process that has ended and is removed with its reserving
 *       file. One without a marker (its launcher stopped before starting Java, or has not yet
 *       started it) is removed only when it is older than {@link #UNMARKED_GRACE_MILLIS}.</li>
 * </ol>
 *
 * <p>Nothing is done when the property is empty (no included files) or does not end in "_dir".
 * Links inside a directory are deleted, never followed. Failures are silent: clean-up never gets
 * in the application's way.
 */
public final class TempDirCleanup {
    /** The system property through which the launcher names its temporary directory. */
    public static final String DIR_PROPERTY = "qarvo.tempDir";
    static final String MARKER = "qvo_owner.lock";
    static final String SUFFIX = "_dir";
    static final Pattern LAUNCHER_DIR = Pattern.compile("qvo(\\p{XDigit}+\\.tmp|\\d+)_dir");
    static final long UNMARKED_GRACE_MILLIS = 24L * 60 * 60 * 1000;

    private final TempFileSystem fs;
    private final Path dir;
    private Closeable claim;

    TempDirCleanup(TempFileSystem fs, Path dir) {
        this.fs = fs;
        this.dir = dir;
    }

    /**
     * Claims the directory named by the property value, removes it at exit, and sweeps stale
     * directories of earlier runs on a background thread. Does nothing for an unusable value.
     */
    public static void start(String property) {
        Path dir = launcherTempDirectory(property);
        if (dir == null) {
            return;
        }
        final TempDirCleanup cleanup = new TempDirCleanup(new LocalTempFileSystem(), dir);
        if (!cleanup.fs.isPlainDirectory(dir)) {
            return;
        }
        cleanup.claim();
        Runtime.getRuntime().addShutdownHook(new Thread(cleanup::removeOwn, "qarvo-temp-cleanup"));
        Thread sweep = new Thread(() -> cleanup.sweep(System.currentTimeMillis()), "qarvo-temp-sweep");
        sweep.setDaemon(true);
        sweep.setPriority(Thread.MIN_PRIORITY);
        sweep.start();
    }

    /** The directory named by {@code property}, or null when there is none to clean up. */
    static Path launcherTempDirectory(String property) {
        if (property == null || !property.endsWith(SUFFIX)) {
            return null;
        }
        try {
            Path dir = Paths.get(property).toAbsolutePath().normalize();
            Path name = dir.getFileName();
            if (name == null || name.toString().length() <= SUFFIX.length()
                    || dir.getParent() == null) {
                return null;
            }
            return dir;
        } catch (InvalidPathException e) {
            return null;
        }
    }

    /** The file that reserved the name of {@code dir}: the same name without "_dir". */
    static Path reservingFile(Path dir) {
        String name = dir.getFileName().toString();
        return dir.resolveSibling(name.substring(0, name.length() - SUFFIX.length()));
    }

    /** Places the locked marker; without it the directory is protected only by its age. */
    void claim() {
        try {
            claim = fs.claim(dir.resolve(MARKER));
        } catch (IOException | RuntimeException e) {
            claim = null;
        }
    }

    /** The exit step: returns whether the directory is gone. */
    boolean removeOwn() {
        Path marker = dir.resolve(MARKER);
        boolean onlyMarkerLeft = true;
        for (Path entry : fs.list(dir)) {
            if (!entry.equals(marker) && !deleteTree(entry)) {
                onlyMarkerLeft = false;
            }
        }
        if (!onlyMarkerLeft) {
            return false; // the marker stays; its lock ends with the process
        }
        release();
        fs.delete(marker);
        return removeDirectory(dir);
    }

    /** The start step: removes stale sibling directories; returns how many went. */
    int sweep(long nowMillis) {
        int removed = 0;
        for (Path candidate : fs.list(dir.getParent())) {
            if (isStale(candidate, nowMillis) && deleteTree(candidate)) {
                deleteReservingFile(candidate);
                removed++;
            }
        }
        return removed;
    }

    private boolean isStale(Path candidate, long nowMillis) {
        if (candidate.equals(dir) || !LAUNCHER_DIR.matcher(candidate.getFileName().toString()).matches()
                || !fs.isPlainDirectory(candidate)) {
            return false;
        }
        switch (fs.owner(candidate.resolve(MARKER))) {
            case GONE:
                return true;
            case NONE:
                return nowMillis - fs.lastModifiedMillis(candidate) >= UNMARKED_GRACE_MILLIS;
            default:
                return false;
        }
    }

    private boolean removeDirectory(Path directory) {
        if (!fs.delete(directory)) {
            return false;
        }
        deleteReservingFile(directory);
        return true;
    }

    /** Deletes the reserving file only when it is what the launcher left there: an empty file. */
    private void deleteReservingFile(Path directory) {
        Path file = reservingFile(directory);
        if (fs.isEmptyFile(file)) {
            fs.delete(file);
        }
    }

    /** Deletes {@code path} and, for a directory, everything below it; true when all went. */
    private boolean deleteTree(Path path) {
        boolean all = true;
        if (fs.isPlainDirectory(path)) {
            for (Path entry : fs.list(path)) {
                all &= deleteTree(entry);
            }
        }
        return fs.delete(path) && all;
    }

    private void release() {
        if (claim != null) {
            try {
                claim.close();
            } catch (IOException e) {
                // The lock goes with the process anyway.
            }
            claim = null;
        }
    }
}
