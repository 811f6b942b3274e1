package com.qarvo.runtime.internal;

import java.nio.charset.Charset;
import java.nio.charset.IllegalCharsetNameException;
import java.nio.charset.UnsupportedCharsetException;

/** Narrow (code-page) text as the launcher stores it, and its integer reading. */
final class NarrowText {
    private NarrowText() {
    }

    /**
     * The system's ANSI code page, in which the launcher's narrow values are written: the
     * encoding this virtual machine uses for file names, else its default.
     */
    static Charset ansiCharset() {
        String name = System.getProperty("sun.jnu.encoding");
        if (name != null) {
            try {
                return Charset.forName(name);
            } catch (IllegalCharsetNameException | UnsupportedCharsetException e) {
                // fall through
            }
        }
        return Charset.defaultCharset();
    }

    /**
     * The launcher's integer reading of a text: leading white space skipped, an optional sign,
     * then decimal digits up to the first other character; no digits give 0. Overflow wraps as
     * 32-bit arithmetic does.
     */
    static int atoi(String text) {
        int p = 0;
        int n = text.length();
        while (p < n && (text.charAt(p) == ' ' || (text.charAt(p) >= '\t' && text.charAt(p) <= '\r'))) {
            p++;
        }
        boolean negative = false;
        if (p < n && (text.charAt(p) == '+' || text.charAt(p) == '-')) {
            negative = text.charAt(p) == '-';
            p++;
        }
        int value = 0;
        while (p < n && text.charAt(p) >= '0' && text.charAt(p) <= '9') {
            value = value * 10 + (text.charAt(p) - '0');
            p++;
        }
        return negative ? -value : value;
    }
}
