package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;

import com.qarvo.runtime.StartupNotification;
import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import org.junit.jupiter.api.Test;

class NotificationHubTest {
    final NotificationHub hub = new NotificationHub();
    final ByteArrayOutputStream warnings = new ByteArrayOutputStream();
    final List<String> received = new ArrayList<>();

    StartupNotification.Listener recorder(String name) {
        return arguments -> received.add(name + Arrays.toString(arguments));
    }

    @Test
    void keepsNotificationsUntilAListenerRegistersThenDeliversInOrder() {
        hub.offer(new String[] {"a"});
        hub.offer(new String[] {"b", "c"});
        hub.deliver(new PrintStream(warnings));
        assertEquals(2, hub.pendingCount());
        hub.add(recorder("L"));
        hub.deliver(new PrintStream(warnings));
        assertEquals(Arrays.asList("L[a]", "L[b, c]"), received);
        assertEquals(0, hub.pendingCount());
    }

    @Test
    void keepsOnlyTheLatestWhileNobodyListens() {
        for (int i = 0; i < NotificationHub.MAX_PENDING + 5; i++) {
            hub.offer(new String[] {Integer.toString(i)});
        }
        hub.add(recorder(""));
        hub.deliver(new PrintStream(warnings));
        assertEquals(NotificationHub.MAX_PENDING, received.size());
        assertEquals("[5]", received.get(0));
    }

    @Test
    void aFailingListenerIsReportedAndTheOthersStillHear() {
        hub.add(arguments -> {
            throw new IllegalStateException("listener bug");
        });
        hub.add(arguments -> arguments[0] = "changed");
        hub.add(recorder("R"));
        hub.offer(new String[] {"x"});
        hub.offer(new String[] {"y"});
        hub.deliver(new PrintStream(warnings, true));
        assertEquals(Arrays.asList("R[x]", "R[y]"), received);
        assertEquals(2, warnings.toString().split("listener bug", -1).length - 1);
    }
}
