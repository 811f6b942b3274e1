package com.qarvo.runtime.internal;

import java.io.IOException;

/** The launcher file holds no readable configuration block; the message says what is wrong. */
public final class BlockFormatException extends IOException {
    private static final long serialVersionUID = 1L;

    BlockFormatException(String message) {
        super(message);
    }
}
