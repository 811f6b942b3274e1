package com.qarvo.runtime.internal;

import java.io.File;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.OutputStream;
import java.io.PrintStream;

/**
 * A file output stream that creates its file (and the missing parent directories) only when the
 * first byte is written, or when {@link #open()} is called. Unbuffered: every write reaches the
 * file at once, so nothing is lost when the process ends through {@code System.exit} or is killed.
 *
 * <p>When the file cannot be opened, one warning naming the file is written to {@code warnings}
 * and every byte goes to {@code fallback} instead, so output is never silently dropped.
 */
final class LazyFileOutputStream extends OutputStream {
    private final File file;
    private final boolean append;
    private final OutputStream fallback;
    private final PrintStream warnings;
    private OutputStream target;

    LazyFileOutputStream(File file, boolean append, OutputStream fallback, PrintStream warnings) {
        this.file = file;
        this.append = append;
        this.fallback = fallback;
        this.warnings = warnings;
    }

    /** Opens the file now (replacing or appending as configured) unless that already happened. */
    synchronized void open() {
        if (target != null) {
            return;
        }
        try {
            File parent = file.getAbsoluteFile().getParentFile();
            if (parent != null && !parent.isDirectory() && !parent.mkdirs() && !parent.isDirectory()) {
                throw new IOException("cannot create directory " + parent);
            }
            target = new FileOutputStream(file, append);
        } catch (IOException | SecurityException e) {
            target = fallback;
            warnings.println("qarvo: cannot write to " + file + " (" + e.getMessage()
                    + "); the output goes to the original stream instead");
        }
    }

    @Override
    public synchronized void write(int b) throws IOException {
        open();
        target.write(b);
    }

    @Override
    public synchronized void write(byte[] b, int off, int len) throws IOException {
        if (len == 0) {
            return;
        }
        open();
        target.write(b, off, len);
    }

    @Override
    public synchronized void flush() throws IOException {
        if (target != null) {
            target.flush();
        }
    }

    @Override
    public synchronized void close() throws IOException {
        if (target != null && target != fallback) {
            target.close();
        }
    }
}
