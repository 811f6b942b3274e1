package com.qarvo.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.util.HashMap;
import java.util.Map;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

class ValueResolverTest {
    private final Map<String, String> properties = new HashMap<>();
    private final Map<String, String> environment = new HashMap<>();
    private final ValueResolver resolver = new ValueResolver(properties::get, environment::get);

    {
        properties.put("user.home", "/home/ann");
        properties.put("both", "from-property");
        environment.put("both", "from-environment");
        environment.put("LOGS", "/var/log");
        environment.put("LOOP", "${LOGS}");
    }

    @ParameterizedTest
    @CsvSource({
        "'${user.home}/app/error.log', '/home/ann/app/error.log'",
        "'${both}', 'from-property'",
        "'${LOGS}/${user.home}', '/var/log//home/ann'",
        "'${LOOP}', '${LOGS}'",
        "'$HOME/x', '$HOME/x'",
        "'${unclosed', '${unclosed'",
        "'${}x', '${}x'",
        "'$$${LOGS}', '$$/var/log'",
        "'plain', 'plain'"})
    void replacesReferencesByPropertiesThenEnvironment(String value, String expected) throws Exception {
        assertEquals(expected, resolver.resolve(value));
    }

    @Test
    void anUndefinedReferenceNamesItself() {
        ValueResolver.UndefinedReferenceException e = assertThrows(
                ValueResolver.UndefinedReferenceException.class,
                () -> resolver.resolve("${LOGS}/${APPDATA}/error.log"));
        assertEquals("APPDATA", e.name);
    }
}
