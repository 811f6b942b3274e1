package com.qarvo.runtime.internal;

import java.util.ArrayList;
import java.util.List;

/**
 * Splits a command-line text into words by the launcher's own rules, so that a later start's
 * arguments reach the running application as they would have reached a new one.
 *
 * <ul>
 *   <li>Only the space separates words; a tab is an ordinary character. Runs of spaces give no
 *       empty words.</li>
 *   <li>Double and single quotes group; the quote characters are dropped. Text before an opening
 *       quote belongs to the same word ({@code -Dx="a b"} is {@code -Dx=a b}); text glued to a
 *       closing quote starts a new word. A pair of quotes with nothing between gives an empty
 *       word.</li>
 *   <li>There is no escape character: a backslash is ordinary, and a quote character can only be
 *       part of a word inside quotes of the other kind.</li>
 *   <li>An opening quote without a closing one runs to the end of the text. The launcher refuses
 *       such a command line itself, so it only appears in damaged text; the words before it and
 *       the rest of the text as a last word are the most that can be saved.</li>
 * </ul>
 */
public final class CommandLineSplitter {
    private CommandLineSplitter() {
    }

    public static String[] split(String text) {
        List<String> words = new ArrayList<>();
        int p = 0;
        int n = text.length();
        while (p < n) {
            int space = text.indexOf(' ', p);
            if (space == p) {
                p++;
                continue;
            }
            int dq = text.indexOf('"', p);
            int sq = text.indexOf('\'', p);
            int quote = dq < 0 ? sq : sq < 0 ? dq : Math.min(dq, sq);
            if (space >= 0 && (quote < 0 || space < quote)) {
                words.add(text.substring(p, space));
                p = space + 1;
            } else if (quote >= 0) {
                int close = text.indexOf(text.charAt(quote), quote + 1);
                if (close < 0) {
                    words.add(text.substring(p, quote) + text.substring(quote + 1));
                    break;
                }
                words.add(text.substring(p, quote) + text.substring(quote + 1, close));
                p = close + 1 < n && text.charAt(close + 1) == ' ' ? close + 2 : close + 1;
            } else {
                words.add(text.substring(p));
                break;
            }
        }
        return words.toArray(new String[0]);
    }
}
