package com.qarvo.runtime;

import com.qarvo.runtime.internal.NotificationService;
import java.util.Objects;

/**
 * Start-up notifications of a single-instance application.
 *
 * <p>When a launcher is configured for a single instance, starting it again while the application
 * runs starts no second application: the new launcher brings the running one's windows to the
 * front, hands over the arguments it was given, and ends. Register a listener to receive them:
 *
 * <pre>{@code
 * StartupNotification.registerListener(arguments ->
 *         SwingUtilities.invokeLater(() -> openDocuments(arguments)));
 * }</pre>
 *
 * <ul>
 *   <li>Each later start gives one call with that start's arguments, split into words by the
 *       launcher's own rules (spaces separate, single and double quotes group, no escapes). They
 *       are the arguments as typed: the launcher's default arguments are not among them, but
 *       "-J" arguments are. A start without arguments gives an empty array.</li>
 *   <li>Calls come on one daemon thread, "qarvo-startup-notification", never on the event
 *       dispatch thread, one after the other in the order of the starts. A listener that throws
 *       is reported on the error output and does not stop later notifications.</li>
 *   <li>Notifications that arrive before any listener is registered are kept (the latest 100)
 *       and delivered as soon as one registers. Every registered listener gets every
 *       notification.</li>
 *   <li>Outside a single-instance launch (the system property "qarvo.processCommFile" is not
 *       set) listeners are accepted and never called.</li>
 * </ul>
 */
public final class StartupNotification {
    /** Receives the arguments of a later start. */
    public interface Listener {
        /** @param arguments the later start's arguments, possibly empty; the listener's own copy */
        void startupPerformed(String[] arguments);
    }

    private StartupNotification() {
    }

    /** Adds {@code listener}; it first receives the notifications kept so far. */
    public static void registerListener(Listener listener) {
        NotificationService.shared().register(Objects.requireNonNull(listener, "listener"));
    }

    /** Removes {@code listener}; returns whether it was registered. */
    public static boolean removeListener(Listener listener) {
        return NotificationService.shared().remove(listener);
    }
}
