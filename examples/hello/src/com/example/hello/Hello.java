package com.example.hello;

import java.io.FileOutputStream;
import java.io.OutputStreamWriter;
import java.io.Writer;
import java.nio.charset.StandardCharsets;

/**
 * The example application: greets, lists the arguments it received and the options the
 * launcher's .vmoptions file set, and, when -Dhello.record names a file, writes the same lines
 * there.
 */
public final class Hello {
    private Hello() {
    }

    public static void main(String[] args) throws Exception {
        StringBuilder text = new StringBuilder();
        text.append(System.getProperty("hello.greeting", "Hello")).append(" from Java ")
                .append(System.getProperty("java.version")).append('\n');
        text.append("arguments: ").append(args.length).append('\n');
        for (int i = 0; i < args.length; i++) {
            text.append("  ").append(i).append(": ").append(args[i]).append('\n');
        }
        text.append("launched by: ").append(System.getProperty("qarvo.moduleName", "(no launcher)")).append('\n');
        System.out.print(text);
        String record = System.getProperty("hello.record");
        if (record != null) {
            try (Writer out = new OutputStreamWriter(new FileOutputStream(record), StandardCharsets.UTF_8)) {
                out.write(text.toString());
            }
        }
    }
}
