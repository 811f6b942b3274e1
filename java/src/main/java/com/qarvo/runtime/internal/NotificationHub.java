package com.qarvo.runtime.internal;

import com.qarvo.runtime.StartupNotification;
import java.io.PrintStream;
import java.util.ArrayDeque;
import java.util.Deque;
import java.util.List;
import java.util.concurrent.CopyOnWriteArrayList;

/**
 * Keeps start-up notifications until a listener is there and hands them out in arrival order.
 * At most {@link #MAX_PENDING} wait for a listener; beyond that the oldest are dropped, so an
 * application that never registers does not collect them forever.
 */
final class NotificationHub {
    static final int MAX_PENDING = 100;

    private final List<StartupNotification.Listener> listeners = new CopyOnWriteArrayList<>();
    private final Deque<String[]> pending = new ArrayDeque<>();

    void add(StartupNotification.Listener listener) {
        listeners.add(listener);
    }

    boolean remove(StartupNotification.Listener listener) {
        return listeners.remove(listener);
    }

    synchronized void offer(String[] arguments) {
        pending.addLast(arguments);
        if (pending.size() > MAX_PENDING) {
            pending.removeFirst();
        }
    }

    synchronized int pendingCount() {
        return pending.size();
    }

    /**
     * Delivers every pending notification to every registered listener, each listener its own
     * copy of the arguments. Keeps them while no listener is registered. A listener that throws
     * is reported on {@code warnings} and does not keep the others from their turn.
     */
    void deliver(PrintStream warnings) {
        while (true) {
            String[] next;
            synchronized (this) {
                if (listeners.isEmpty() || pending.isEmpty()) {
                    return;
                }
                next = pending.removeFirst();
            }
            for (StartupNotification.Listener listener : listeners) {
                try {
                    listener.startupPerformed(next.clone());
                } catch (VirtualMachineError e) {
                    throw e;
                } catch (Throwable e) {
                    warnings.println("qarvo: a start-up notification listener failed:");
                    e.printStackTrace(warnings);
                }
            }
        }
    }
}
