package com.qarvo.runtime.internal;

import java.io.File;
import java.net.URISyntaxException;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;

/** Starts another virtual machine of the running Java installation. */
public final class ChildJvm {
    private ChildJvm() {
    }

    /** Where {@code type} was loaded from: a class directory or a jar. */
    public static String locationOf(Class<?> type) {
        try {
            return Paths.get(type.getProtectionDomain().getCodeSource().getLocation().toURI()).toString();
        } catch (URISyntaxException e) {
            throw new IllegalStateException(e);
        }
    }

    /** {@code java -cp <classPath> <arguments…>}. */
    public static ProcessBuilder command(List<String> classPath, String... arguments) {
        List<String> command = new ArrayList<>();
        command.add(Paths.get(System.getProperty("java.home"), "bin", "java").toString());
        command.add("-cp");
        command.add(String.join(File.pathSeparator, classPath));
        command.addAll(Arrays.asList(arguments));
        return new ProcessBuilder(command);
    }
}
