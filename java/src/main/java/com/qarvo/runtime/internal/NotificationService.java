package com.qarvo.runtime.internal;

import com.qarvo.runtime.StartupNotification;
import java.nio.file.InvalidPathException;
import java.nio.file.Path;
import java.nio.file.Paths;

/**
 * Watches the notification file on a daemon thread, every {@link #POLL_MILLIS} (well inside the
 * ten seconds a later launcher waits), and delivers the split arguments to the listeners on that
 * same thread, one notification after the other.
 */
public final class NotificationService {
    /** The system property through which the launcher names the notification file. */
    public static final String FILE_PROPERTY = "qarvo.processCommFile";
    static final long POLL_MILLIS = 100;

    private static NotificationService shared;

    private final NotificationFile file;
    private final NotificationHub hub = new NotificationHub();
    private final Object wake = new Object();
    private boolean wakeRequested;
    private Thread thread;

    /** {@code file} null: no notifications can arrive, listeners are only kept. */
    NotificationService(Path file) {
        this.file = file == null ? null : new NotificationFile(file);
    }

    /** The service of this virtual machine, for the file named by {@value #FILE_PROPERTY}. */
    public static synchronized NotificationService shared() {
        if (shared == null) {
            shared = new NotificationService(fileFromProperty(System.getProperty(FILE_PROPERTY)));
        }
        return shared;
    }

    static Path fileFromProperty(String value) {
        if (value == null || value.trim().isEmpty()) {
            return null;
        }
        try {
            return Paths.get(value);
        } catch (InvalidPathException e) {
            return null;
        }
    }

    /** Starts watching, unless there is no file or the watch already runs. */
    public synchronized void start() {
        if (file == null || thread != null) {
            return;
        }
        thread = new Thread(this::run, "qarvo-startup-notification");
        thread.setDaemon(true);
        thread.start();
    }

    public void register(StartupNotification.Listener listener) {
        hub.add(listener);
        start();
        synchronized (wake) {
            wakeRequested = true;
            wake.notifyAll();
        }
    }

    public boolean remove(StartupNotification.Listener listener) {
        return hub.remove(listener);
    }

    private void run() {
        try {
            while (true) {
                for (String line : file.poll(System.currentTimeMillis(), System.err)) {
                    hub.offer(CommandLineSplitter.split(line));
                }
                hub.deliver(System.err);
                synchronized (wake) {
                    if (!wakeRequested) {
                        wake.wait(POLL_MILLIS);
                    }
                    wakeRequested = false;
                }
            }
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        }
    }
}
