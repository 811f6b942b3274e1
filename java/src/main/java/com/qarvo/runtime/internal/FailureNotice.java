package com.qarvo.runtime.internal;

import java.awt.GraphicsEnvironment;
import java.io.File;
import java.lang.reflect.InvocationTargetException;
import javax.swing.JOptionPane;
import javax.swing.SwingUtilities;

/**
 * Tells the user of a windowed application that it failed to start or ended with an exception.
 * A windowed application has no console, so a stack trace in the error output alone would go
 * unseen; the dialog names the exception and where the details went.
 */
public interface FailureNotice {
    /** Shows {@code text} under {@code title} and returns when the user has dismissed it. */
    void show(String title, String text);

    /** Longest exception message quoted in the notice; the rest is in the error output. */
    int MAX_MESSAGE = 600;

    /** A modal error dialog; does nothing in a headless virtual machine. */
    static FailureNotice dialog() {
        return (title, text) -> {
            if (GraphicsEnvironment.isHeadless()) {
                return;
            }
            Runnable show = () -> JOptionPane.showMessageDialog(null, text, title,
                    JOptionPane.ERROR_MESSAGE);
            try {
                if (SwingUtilities.isEventDispatchThread()) {
                    show.run();
                } else {
                    SwingUtilities.invokeAndWait(show);
                }
            } catch (InterruptedException e) {
                Thread.currentThread().interrupt();
            } catch (InvocationTargetException | RuntimeException | LinkageError e) {
                // No usable display after all: the error output still has the details.
            }
        };
    }

    /** The text of a notice for {@code failure}; {@code errorFile} is null when not redirected. */
    static String text(String mainClass, Throwable failure, File errorFile) {
        String message = failure.getMessage();
        String what = failure.getClass().getName();
        if (message != null && !message.isEmpty()) {
            what += ": " + (message.length() > MAX_MESSAGE
                    ? message.substring(0, MAX_MESSAGE) + "…" : message);
        }
        String where = errorFile == null ? "the error output" : errorFile.getPath();
        return "The application " + mainClass + " stopped because of an error:\n\n" + what
                + "\n\nThe details are in " + where + ".";
    }
}
