package com.qarvo.runtime.internal;

import java.io.IOException;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.channels.SeekableByteChannel;

/**
 * Little-endian reads at a position of a channel, each checked against the end of the file
 * before anything is allocated or read.
 */
final class BlockInput {
    private final SeekableByteChannel channel;
    private final long size;
    private long position;

    BlockInput(SeekableByteChannel channel) throws IOException {
        this.channel = channel;
        this.size = channel.size();
    }

    long size() {
        return size;
    }

    long position() {
        return position;
    }

    long remaining() {
        return size - position;
    }

    void seek(long newPosition, String what) throws BlockFormatException {
        if (newPosition < 0 || newPosition > size) {
            throw new BlockFormatException(what + " at offset " + newPosition
                    + " lies outside the file of " + size + " bytes");
        }
        position = newPosition;
    }

    int readInt(String what) throws IOException {
        return fill(4, what).getInt();
    }

    int readUnsignedShort(String what) throws IOException {
        return fill(2, what).getShort() & 0xFFFF;
    }

    long readUnsignedInt(String what) throws IOException {
        return fill(4, what).getInt() & 0xFFFFFFFFL;
    }

    long readLong(String what) throws IOException {
        return fill(8, what).getLong();
    }

    /** {@code length} bytes; the caller has checked that the length is not negative. */
    byte[] readBytes(int length, String what) throws IOException {
        return fill(length, what).array();
    }

    private ByteBuffer fill(int length, String what) throws IOException {
        if (length > remaining()) {
            throw new BlockFormatException("cut short: " + what + " needs " + length
                    + " bytes at offset " + position + ", " + remaining() + " remain");
        }
        ByteBuffer buffer = ByteBuffer.allocate(length).order(ByteOrder.LITTLE_ENDIAN);
        channel.position(position);
        while (buffer.hasRemaining()) {
            if (channel.read(buffer) < 0) {
                throw new BlockFormatException("cut short: " + what + " at offset " + position);
            }
        }
        position += length;
        buffer.flip();
        return buffer;
    }
}
