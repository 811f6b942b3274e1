package com.qarvo.runtime.internal;

import java.nio.file.Paths;

/** Child-process helper: claims the marker given as argument, says so, and waits to be killed. */
public final class LockHolder {
    private LockHolder() {
    }

    public static void main(String[] args) throws Exception {
        new LocalTempFileSystem().claim(Paths.get(args[0]));
        System.out.println("claimed");
        System.out.flush();
        Thread.sleep(Long.MAX_VALUE);
    }
}
