package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertSame;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.File;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

class LaunchTest {
    static final List<String> events = new ArrayList<>();

    public static final class Recorder {
        static String[] received;

        public static void main(String[] args) {
            events.add("main");
            received = args;
        }
    }

    static final class Hidden {
        static boolean ran;

        static void main(String[] args) {
            ran = true;
        }
    }

    public static final class Thrower {
        static final IllegalStateException FAILURE = new IllegalStateException("no database");

        public static void main(String[] args) {
            throw FAILURE;
        }
    }

    public static final class InstanceMain {
        public void main(String[] args) {
        }
    }

    private final Map<String, String> properties = new HashMap<>();
    private final List<String> notices = new ArrayList<>();

    private Launch launch() {
        return new Launch(properties::get, new ValueResolver(properties::get, name -> null),
                getClass().getClassLoader(), (title, text) -> notices.add(title + "|" + text),
                plan -> events.add("redirect"), () -> events.add("services"));
    }

    private static String[] array(String windowed, String mainClass, String... rest) {
        List<String> a = new ArrayList<>(Arrays.asList(windowed, mainClass, "/logs/err.log", "", "false"));
        a.addAll(Arrays.asList(rest));
        return a.toArray(new String[0]);
    }

    @Test
    void callsMainWithTheArgumentsAfterTheLauncherPathOnceTheProcessIsPrepared() throws Throwable {
        events.clear();
        launch().launch(array("false", Recorder.class.getName(), "/app/app.exe", "gr\u00fc\u00dfe",
                "", "two words"));
        assertArrayEquals(new String[] {"gr\u00fc\u00dfe", "", "two words"}, Recorder.received);
        assertEquals(Arrays.asList("redirect", "services", "main"), events);
    }

    @Test
    void callsAMainThatIsNotPublic() throws Throwable {
        launch().launch(array("false", Hidden.class.getName()));
        assertTrue(Hidden.ran);
    }

    @ParameterizedTest
    @CsvSource({"true, 1", "false, 0"})
    void anExceptionOfMainIsThrownOnAndShownForWindowedApplications(String windowed, int shown) {
        Throwable thrown = assertThrows(Throwable.class,
                () -> launch().launch(array(windowed, Thrower.class.getName())));
        assertSame(Thrower.FAILURE, thrown);
        assertEquals(shown, notices.size());
        if (shown == 1) {
            assertEquals("LaunchTest$Thrower|The application " + Thrower.class.getName()
                    + " stopped because of an error:\n\njava.lang.IllegalStateException: no database"
                    + "\n\nThe details are in " + new File("/logs/err.log").getPath() + ".", notices.get(0));
        }
    }

    @Test
    void aMissingMainClassIsNamedWithTheClassPath() {
        properties.put("java.class.path", "C:\\app\\lib\\app.jar");
        ClassNotFoundException e = assertThrows(ClassNotFoundException.class,
                () -> launch().launch(array("true", "com.example.Missing")));
        assertEquals("the application's main class com.example.Missing is not on the class path"
                + " \"C:\\app\\lib\\app.jar\"", e.getMessage());
        assertTrue(notices.get(0).contains(e.getMessage()));
    }

    @ParameterizedTest
    @CsvSource({"com.qarvo.runtime.internal.LaunchTest$InstanceMain, is not static void",
        "java.lang.String, has no main(String[]) method"})
    void aClassWithoutStaticMainIsRefused(String className, String message) {
        NoSuchMethodException e = assertThrows(NoSuchMethodException.class,
                () -> launch().launch(array("false", className)));
        assertEquals(className + (message.startsWith("is") ? ".main(String[]) " : " ") + message,
                e.getMessage());
    }

    @ParameterizedTest
    @CsvSource({"/opt/app/app.exe, /elsewhere/x.exe, /opt/app", "'', /elsewhere/x.exe, /elsewhere",
        "'', '', ''"})
    void relativeRedirectionIsTakenAgainstTheLauncherDirectory(String module, String launcherPath,
            String expected) {
        properties.put(FirstRunner.MODULE_PROPERTY, module);
        String[] a = launcherPath.isEmpty() ? array("false", "M") : array("false", "M", launcherPath);
        assertEquals(new File(expected).getAbsoluteFile(),
                launch().launcherDirectory(LaunchArguments.parse(a)));
    }
}
