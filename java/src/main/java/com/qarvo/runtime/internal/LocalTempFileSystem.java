package com.qarvo.runtime.internal;

import java.io.Closeable;
import java.io.IOException;
import java.nio.channels.FileChannel;
import java.nio.channels.FileLock;
import java.nio.channels.OverlappingFileLockException;
import java.nio.file.DirectoryStream;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.nio.file.StandardOpenOption;
import java.nio.file.attribute.BasicFileAttributes;
import java.util.ArrayList;
import java.util.List;

/**
 * The local disk. Ownership is an exclusive lock on the marker file: the operating system drops
 * it when the process ends, however it ends, so an unlocked marker means its owner is gone.
 */
class LocalTempFileSystem implements TempFileSystem {
    @Override
    public List<Path> list(Path dir) {
        List<Path> entries = new ArrayList<>();
        try (DirectoryStream<Path> stream = Files.newDirectoryStream(dir)) {
            for (Path entry : stream) {
                entries.add(entry);
            }
        } catch (IOException | RuntimeException e) {
            // Unlistable: treated as empty, so nothing in it is touched.
        }
        return entries;
    }

    @Override
    public boolean isPlainDirectory(Path path) {
        return Files.isDirectory(path, LinkOption.NOFOLLOW_LINKS);
    }

    @Override
    public boolean isEmptyFile(Path path) {
        try {
            BasicFileAttributes attributes = Files.readAttributes(path, BasicFileAttributes.class,
                    LinkOption.NOFOLLOW_LINKS);
            return attributes.isRegularFile() && attributes.size() == 0;
        } catch (IOException e) {
            return false;
        }
    }

    @Override
    public boolean delete(Path path) {
        return deletePath(path);
    }

    /** Deletes a file, a link or an empty directory; true when nothing is left at {@code path}. */
    static boolean deletePath(Path path) {
        try {
            Files.deleteIfExists(path);
            return true;
        } catch (IOException | SecurityException e) {
            return false;
        }
    }

    @Override
    public long lastModifiedMillis(Path path) {
        try {
            return Files.getLastModifiedTime(path, LinkOption.NOFOLLOW_LINKS).toMillis();
        } catch (IOException e) {
            return 0;
        }
    }

    @Override
    public Owner owner(Path marker) {
        try (FileChannel channel = FileChannel.open(marker, StandardOpenOption.WRITE)) {
            FileLock lock = channel.tryLock();
            if (lock == null) {
                return Owner.ALIVE;
            }
            lock.release();
            return Owner.GONE;
        } catch (NoSuchFileException e) {
            return Owner.NONE;
        } catch (OverlappingFileLockException e) {
            return Owner.ALIVE; // held by this very virtual machine
        } catch (IOException | RuntimeException e) {
            return Owner.ALIVE; // cannot tell: leave the directory alone
        }
    }

    /**
     * Locks a fresh file under a neighbouring name and only then renames it to {@code marker},
     * so that a marker is never seen without its lock.
     */
    @Override
    public Closeable claim(Path marker) throws IOException {
        Path fresh = marker.resolveSibling(marker.getFileName() + ".new");
        FileChannel channel = FileChannel.open(fresh, StandardOpenOption.CREATE,
                StandardOpenOption.WRITE);
        try {
            channel.lock();
            Files.move(fresh, marker, StandardCopyOption.ATOMIC_MOVE,
                    StandardCopyOption.REPLACE_EXISTING);
        } catch (IOException | RuntimeException e) {
            channel.close();
            Files.deleteIfExists(fresh);
            throw e;
        }
        return channel;
    }
}
