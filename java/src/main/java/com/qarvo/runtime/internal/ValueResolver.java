package com.qarvo.runtime.internal;

import java.util.function.Function;

/**
 * Resolves {@code ${name}} references in the redirection file names that the launcher passes on
 * unresolved (those that begin with '$', typically because they name something the launcher
 * cannot know, such as {@code ${user.home}}).
 *
 * <p>A reference is looked up first among the system properties, then among the environment
 * variables (on Windows the environment lookup ignores letter case). Text outside references is
 * kept as it is, as is a '$' that does not start a complete {@code ${…}}; a resolved value is not
 * searched again. A reference that names nothing makes the whole value unusable.
 */
public final class ValueResolver {
    private final Function<String, String> properties;
    private final Function<String, String> environment;

    /** Thrown for a reference that neither a system property nor an environment variable defines. */
    public static final class UndefinedReferenceException extends Exception {
        private static final long serialVersionUID = 1L;
        public final String name;

        UndefinedReferenceException(String name) {
            super("\"${" + name + "}\" is neither a system property nor an environment variable");
            this.name = name;
        }
    }

    public ValueResolver(Function<String, String> properties, Function<String, String> environment) {
        this.properties = properties;
        this.environment = environment;
    }

    /** The resolver over this virtual machine's system properties and environment. */
    public static ValueResolver system() {
        return new ValueResolver(System::getProperty, System::getenv);
    }

    /** {@code value} with every complete reference replaced by what it names. */
    public String resolve(String value) throws UndefinedReferenceException {
        StringBuilder out = new StringBuilder(value.length());
        int p = 0;
        while (p < value.length()) {
            int start = value.indexOf("${", p);
            int end = start < 0 ? -1 : value.indexOf('}', start + 2);
            if (start < 0 || end < 0) {
                out.append(value, p, value.length());
                break;
            }
            String name = value.substring(start + 2, end);
            out.append(value, p, start);
            if (name.isEmpty()) {
                out.append("${}");
            } else {
                out.append(lookUp(name));
            }
            p = end + 1;
        }
        return out.toString();
    }

    private String lookUp(String name) throws UndefinedReferenceException {
        String found = properties.apply(name);
        if (found == null) {
            found = environment.apply(name);
        }
        if (found == null) {
            throw new UndefinedReferenceException(name);
        }
        return found;
    }
}
