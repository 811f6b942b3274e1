package com.qarvo.runtime.internal;

import java.io.File;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.file.InvalidPathException;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/**
 * Redirects standard output and standard error to the files the launcher names.
 *
 * <ul>
 *   <li>An empty name leaves the stream alone.</li>
 *   <li>A name beginning with '$' is resolved first ({@link ValueResolver}); when a reference in it
 *       is undefined, that stream is not redirected and a warning says why.</li>
 *   <li>A relative name is taken against the launcher's directory, as the launcher does with the
 *       names it resolves itself.</li>
 *   <li>Missing parent directories are created. The output file is opened at once, the error file
 *       only when the first byte is written to it, so an error file exists only after an error.</li>
 *   <li>Without the append flag each run replaces the file it writes; with it, output is added to
 *       the end of an existing file.</li>
 *   <li>Both names naming the same file share one stream, so neither truncates the other.</li>
 * </ul>
 */
public final class OutputRedirection {
    /** Where the streams go: either may be null (not redirected). */
    public static final class Plan {
        public final File errorFile;
        public final File outputFile;
        public final boolean append;
        /** Why a named stream is not redirected; printed after redirection. */
        public final List<String> warnings;

        Plan(File errorFile, File outputFile, boolean append, List<String> warnings) {
            this.errorFile = errorFile;
            this.outputFile = outputFile;
            this.append = append;
            this.warnings = Collections.unmodifiableList(warnings);
        }
    }

    /** The streams to install; {@code out} and {@code err} are the originals when not redirected. */
    public static final class Streams {
        public final PrintStream out;
        public final PrintStream err;

        Streams(PrintStream out, PrintStream err) {
            this.out = out;
            this.err = err;
        }
    }

    private OutputRedirection() {
    }

    /** Decides the target files without touching the file system. */
    public static Plan plan(LaunchArguments args, File launcherDirectory, ValueResolver resolver) {
        List<String> warnings = new ArrayList<>();
        File error = target(args.errorFile, "error output", launcherDirectory, resolver, warnings);
        File output = target(args.outputFile, "standard output", launcherDirectory, resolver, warnings);
        return new Plan(error, output, args.appendOutput, warnings);
    }

    /**
     * Builds the streams for {@code plan}; opens the output file at once. {@code originalOut} and
     * {@code originalErr} are kept for streams that are not redirected and take the output of a
     * file that cannot be opened.
     */
    public static Streams open(Plan plan, PrintStream originalOut, PrintStream originalErr) {
        LazyFileOutputStream outFile = null;
        LazyFileOutputStream errFile = null;
        if (plan.outputFile != null) {
            outFile = new LazyFileOutputStream(plan.outputFile, plan.append, originalOut, originalErr);
        }
        if (plan.errorFile != null) {
            errFile = outFile != null && sameFile(plan.errorFile, plan.outputFile)
                    ? outFile
                    : new LazyFileOutputStream(plan.errorFile, plan.append, originalErr, originalErr);
        }
        if (outFile != null) {
            outFile.open();
        }
        PrintStream out = outFile == null ? originalOut : new PrintStream(outFile, true);
        PrintStream err = errFile == null ? originalErr
                : errFile == outFile ? out : new PrintStream(errFile, true);
        return new Streams(out, err);
    }

    /** Redirects {@code System.out} and {@code System.err} as planned and prints the plan's warnings. */
    public static void install(Plan plan) {
        Streams streams = open(plan, System.out, System.err);
        System.setOut(streams.out);
        System.setErr(streams.err);
        for (String warning : plan.warnings) {
            System.err.println("qarvo: " + warning);
        }
    }

    private static File target(String name, String what, File base, ValueResolver resolver,
            List<String> warnings) {
        if (name.isEmpty()) {
            return null;
        }
        String path = name;
        try {
            if (name.startsWith("$")) {
                path = resolver.resolve(name);
            }
            return base.toPath().resolve(path).normalize().toFile();
        } catch (ValueResolver.UndefinedReferenceException e) {
            warnings.add(what + " is not redirected to \"" + name + "\": " + e.getMessage());
        } catch (InvalidPathException e) {
            warnings.add(what + " is not redirected: \"" + path + "\" is not a valid path");
        }
        return null;
    }

    private static boolean sameFile(File a, File b) {
        try {
            return a.getCanonicalFile().equals(b.getCanonicalFile());
        } catch (IOException e) {
            return a.getAbsoluteFile().equals(b.getAbsoluteFile());
        }
    }
}
