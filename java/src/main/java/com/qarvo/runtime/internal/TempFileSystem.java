package com.qarvo.runtime.internal;

import java.io.Closeable;
import java.io.IOException;
import java.nio.file.Path;
import java.util.List;

/**
 * The file operations the temporary-directory clean-up needs. {@link LocalTempFileSystem} is the
 * real one; tests wrap it to act out what Windows does (files held open cannot be deleted, locks
 * held by other processes).
 */
interface TempFileSystem {
    /** What an owner marker says about the directory it lies in. */
    enum Owner {
        /** The marker is locked: the virtual machine that created it still runs. */
        ALIVE,
        /** The marker exists and nobody holds its lock: its virtual machine has ended. */
        GONE,
        /** There is no marker: the directory's launcher never reached this runtime, or not yet. */
        NONE
    }

    /** The entries of {@code dir}; empty when it cannot be listed. */
    List<Path> list(Path dir);

    /** A directory that is not a link (links are deleted, never followed). */
    boolean isPlainDirectory(Path path);

    /** A regular file of length 0, not a link. */
    boolean isEmptyFile(Path path);

    /** Deletes a file, a link or an empty directory; true when nothing is left at {@code path}. */
    boolean delete(Path path);

    /** Last modification time in milliseconds, or 0 when unknown. */
    long lastModifiedMillis(Path path);

    Owner owner(Path marker);

    /** Creates the marker and holds its lock until the claim is closed or the process ends. */
    Closeable claim(Path marker) throws IOException;
}
