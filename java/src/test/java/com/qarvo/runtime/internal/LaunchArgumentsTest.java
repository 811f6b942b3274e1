package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

class LaunchArgumentsTest {
    @Test
    void takesTheLeadEntriesByPositionAndPassesTheRest() {
        LaunchArguments args = LaunchArguments.parse(new String[] {"true", " com.example.Main ",
            "err.log", "", "false", "C:\\app\\app.exe", "-x", "", "gr\u00fc\u00dfe"});
        assertTrue(args.windowed);
        assertEquals("com.example.Main", args.mainClass);
        assertEquals("err.log", args.errorFile);
        assertEquals("", args.outputFile);
        assertEquals("C:\\app\\app.exe", args.launcherPath);
        assertArrayEquals(new String[] {"-x", "", "gr\u00fc\u00dfe"}, args.applicationArguments());
    }

    @Test
    void fiveEntriesMeanNoLauncherPathAndNoArguments() {
        LaunchArguments args = LaunchArguments.parse(new String[] {"false", "M", "", "", "true"});
        assertTrue(args.appendOutput);
        assertNull(args.launcherPath);
        assertEquals(0, args.applicationArguments().length);
    }

    static Stream<Arguments> malformed() {
        return Stream.of(
                Arguments.of(null, "passed 0 parameters"),
                Arguments.of(new String[] {"false", "M", "", ""}, "passed 4 parameters"),
                Arguments.of(new String[] {"com.example.Main", "false", "", "", "false"},
                        "parameter 0 (GUI flag) must be \"true\" or \"false\", not \"com.example.Main\""),
                Arguments.of(new String[] {"false", "M", "", "", "1"}, "parameter 4 (append flag)"),
                Arguments.of(new String[] {"TRUE", "M", "", "", "false"}, "not \"TRUE\""),
                Arguments.of(new String[] {"false", "  ", "", "", "false"}, "no application main class"));
    }

    @ParameterizedTest
    @MethodSource("malformed")
    void rejectsArraysNotLaidOutByTheLauncher(String[] a, String message) {
        IllegalArgumentException e = assertThrows(IllegalArgumentException.class,
                () -> LaunchArguments.parse(a));
        assertTrue(e.getMessage().contains(message), e.getMessage());
    }
}
