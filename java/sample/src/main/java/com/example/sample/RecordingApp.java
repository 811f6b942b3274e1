package com.example.sample;

import com.qarvo.runtime.StartupNotification;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.OutputStreamWriter;
import java.io.Writer;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;
import java.util.TreeSet;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.TimeUnit;

/**
 * A sample application that records what it received, for tests of the hand-over from the
 * launcher. It writes to the file named by the system property "sample.recordFile" (UTF-8, but
 * every value escaped to printable ASCII):
 *
 * <pre>
 *   args 3
 *   arg 0 "first"
 *   arg 1 "caf&#92;u00e9"
 *   arg 2 ""
 *   property java.class.path "…"
 *   property qarvo.moduleName "…"
 *   end
 * </pre>
 *
 * Backslash, double quote and every character outside printable ASCII are written as
 * {@code \\}, {@code \"} and {@code \\uXXXX}; the properties are every "qarvo.*" one, sorted, and
 * java.class.path. "end" closes the record, so a reader can tell a complete one.
 *
 * <p>Arguments that ask for something, acted on after recording, in order:
 * <ul>
 *   <li>{@code --sample-out=TEXT}, {@code --sample-err=TEXT}: print TEXT on standard output or
 *       error;</li>
 *   <li>{@code --sample-thread=MILLIS}: start a non-daemon thread that appends
 *       "thread finished" after that delay, when main has long returned;</li>
 *   <li>{@code --sample-notifications=N}: wait (up to 30 s) for N start-up notifications and
 *       append each as {@code notification "word" "word" …};</li>
 *   <li>{@code --sample-exit=N}: end with {@code System.exit(N)};</li>
 *   <li>{@code --sample-throw=TEXT}: throw an {@link IllegalStateException} with message TEXT.</li>
 * </ul>
 */
public final class RecordingApp {
    static final String RECORD_PROPERTY = "sample.recordFile";

    private RecordingApp() {
    }

    public static void main(String[] args) throws Exception {
        String record = System.getProperty(RECORD_PROPERTY);
        if (record == null) {
            throw new IllegalStateException("set -D" + RECORD_PROPERTY + "=<file>");
        }
        write(record, false, describe(args));
        for (String arg : args) {
            act(record, arg);
        }
    }

    static String describe(String[] args) {
        StringBuilder text = new StringBuilder();
        text.append("args ").append(args.length).append('\n');
        for (int i = 0; i < args.length; i++) {
            text.append("arg ").append(i).append(' ').append(quote(args[i])).append('\n');
        }
        TreeSet<String> names = new TreeSet<>();
        names.add("java.class.path");
        for (String name : System.getProperties().stringPropertyNames()) {
            if (name.startsWith("qarvo.")) {
                names.add(name);
            }
        }
        for (String name : names) {
            text.append("property ").append(name).append(' ')
                    .append(quote(System.getProperty(name, ""))).append('\n');
        }
        return text.append("end\n").toString();
    }

    private static void act(final String record, String arg) throws Exception {
        String value = arg.substring(arg.indexOf('=') + 1);
        if (arg.startsWith("--sample-out=")) {
            System.out.println(value);
        } else if (arg.startsWith("--sample-err=")) {
            System.err.println(value);
        } else if (arg.startsWith("--sample-thread=")) {
            final long millis = Long.parseLong(value);
            Thread thread = new Thread(() -> {
                try {
                    Thread.sleep(millis);
                    write(record, true, "thread finished\n");
                } catch (InterruptedException | IOException e) {
                    throw new IllegalStateException(e);
                }
            }, "sample-worker");
            thread.setDaemon(false);
            thread.start();
        } else if (arg.startsWith("--sample-notifications=")) {
            awaitNotifications(record, Integer.parseInt(value));
        } else if (arg.startsWith("--sample-exit=")) {
            System.exit(Integer.parseInt(value));
        } else if (arg.startsWith("--sample-throw=")) {
            throw new IllegalStateException(value);
        }
    }

    private static void awaitNotifications(String record, int count) throws Exception {
        final List<String[]> received = new ArrayList<>();
        final CountDownLatch latch = new CountDownLatch(count);
        StartupNotification.registerListener(arguments -> {
            synchronized (received) {
                received.add(arguments);
            }
            latch.countDown();
        });
        boolean all = latch.await(30, TimeUnit.SECONDS);
        StringBuilder text = new StringBuilder();
        synchronized (received) {
            for (String[] arguments : received) {
                text.append("notification");
                for (String word : arguments) {
                    text.append(' ').append(quote(word));
                }
                text.append('\n');
            }
        }
        write(record, true, text.append(all ? "" : "notifications timed out\n").toString());
    }

    /** {@code value} in double quotes, escaped to printable ASCII. */
    static String quote(String value) {
        StringBuilder out = new StringBuilder("\"");
        for (char c : value.toCharArray()) {
            if (c == '\\' || c == '"') {
                out.append('\\').append(c);
            } else if (c >= 0x20 && c < 0x7F) {
                out.append(c);
            } else {
                out.append(String.format("\\u%04x", (int) c));
            }
        }
        return out.append('"').toString();
    }

    private static synchronized void write(String file, boolean append, String text)
            throws IOException {
        try (Writer out = new OutputStreamWriter(new FileOutputStream(file, append),
                StandardCharsets.UTF_8)) {
            out.write(text);
        }
    }
}
