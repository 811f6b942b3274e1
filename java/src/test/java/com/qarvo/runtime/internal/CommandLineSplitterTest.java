package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;

import java.util.stream.Stream;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

class CommandLineSplitterTest {
    static Stream<Arguments> lines() {
        return Stream.of(
                row("", new String[0]),
                row("    ", new String[0]),
                row("  a   b  ", "a", "b"),
                row("a\tb", "a\tb"),
                row("\"a b\"", "a b"),
                row("'a b'", "a b"),
                row("-Dx=\"a b\" y", "-Dx=a b", "y"),
                row("\"a\"b", "a", "b"),
                row("x'y z'w", "xy z", "w"),
                row("\"a\" 'b'c", "a", "b", "c"),
                row("'say \"hi\"' \"it's\"", "say \"hi\"", "it's"),
                row("\"\"", ""),
                row("a \"\" b", "a", "", "b"),
                row("-open \"C:\\My Files\\a.txt\"", "-open", "C:\\My Files\\a.txt"),
                row("C:\\dir\\ x", "C:\\dir\\", "x"),
                row("gr\u00fc\u00dfe \u65e5\u672c", "gr\u00fc\u00dfe", "\u65e5\u672c"),
                // Damaged text: an unmatched quote runs to the end.
                row("O'Neil", "ONeil"),
                row("a \"C:\\My Files\\x  y", "a", "C:\\My Files\\x  y"));
    }

    private static Arguments row(String line, String... words) {
        return Arguments.of(line, words);
    }

    @ParameterizedTest
    @MethodSource("lines")
    void splitsByTheLauncherRules(String line, String[] words) {
        assertArrayEquals(words, CommandLineSplitter.split(line));
    }
}
