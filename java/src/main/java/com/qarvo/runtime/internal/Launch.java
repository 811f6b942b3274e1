package com.qarvo.runtime.internal;

import java.io.File;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.nio.file.Path;
import java.util.function.Consumer;
import java.util.function.Function;

/** The work behind {@code WinLauncher.main}; see there for the behaviour. */
public final class Launch {
    private final Function<String, String> properties;
    private final ValueResolver resolver;
    private final ClassLoader loader;
    private final FailureNotice notice;
    private final Consumer<OutputRedirection.Plan> redirect;
    private final Runnable services;

    Launch(Function<String, String> properties, ValueResolver resolver, ClassLoader loader,
            FailureNotice notice, Consumer<OutputRedirection.Plan> redirect, Runnable services) {
        this.properties = properties;
        this.resolver = resolver;
        this.loader = loader;
        this.notice = notice;
        this.redirect = redirect;
        this.services = services;
    }

    /** Runs the launch in this virtual machine: real streams, services and class loader. */
    public static void run(String[] a) throws Throwable {
        new Launch(System::getProperty, ValueResolver.system(), ClassLoader.getSystemClassLoader(),
                FailureNotice.dialog(), OutputRedirection::install, () -> {
                    TempDirCleanup.start(System.getProperty(TempDirCleanup.DIR_PROPERTY));
                    NotificationService.shared().start();
                }).launch(a);
    }

    void launch(String[] a) throws Throwable {
        LaunchArguments args = LaunchArguments.parse(a);
        OutputRedirection.Plan plan = OutputRedirection.plan(args, launcherDirectory(args), resolver);
        redirect.accept(plan);
        services.run();
        Throwable failure;
        try {
            Method main = mainMethod(args.mainClass);
            try {
                main.invoke(null, (Object) args.applicationArguments());
                return;
            } catch (InvocationTargetException e) {
                failure = e.getCause();
            }
        } catch (ReflectiveOperationException | LinkageError e) {
            failure = e;
        }
        if (args.windowed) {
            notice.show(simpleName(args.mainClass), FailureNotice.text(args.mainClass, failure,
                    plan.errorFile));
        }
        throw failure;
    }

    /**
     * The directory relative redirection files are taken against: that of the launcher
     * executable, else of the launcher path passed in the array, else the working directory.
     */
    File launcherDirectory(LaunchArguments args) {
        String module = properties.apply(FirstRunner.MODULE_PROPERTY);
        for (String name : new String[] {module, args.launcherPath}) {
            Path launcher = FirstRunner.launcherFile(name);
            if (launcher != null) {
                return launcher.getParent().toFile();
            }
        }
        return new File("").getAbsoluteFile();
    }

    /** The application's {@code static void main(String[])}, made callable. */
    Method mainMethod(String className) throws ClassNotFoundException, NoSuchMethodException {
        Class<?> mainClass;
        try {
            mainClass = Class.forName(className, false, loader);
        } catch (ClassNotFoundException e) {
            throw new ClassNotFoundException("the application's main class " + className
                    + " is not on the class path \"" + properties.apply("java.class.path") + "\"", e);
        }
        Method main;
        try {
            main = mainClass.getMethod("main", String[].class);
        } catch (NoSuchMethodException e) {
            try {
                main = mainClass.getDeclaredMethod("main", String[].class);
            } catch (NoSuchMethodException notDeclared) {
                throw new NoSuchMethodException(className + " has no main(String[]) method");
            }
        }
        if (!Modifier.isStatic(main.getModifiers()) || main.getReturnType() != void.class) {
            throw new NoSuchMethodException(className + ".main(String[]) is not static void");
        }
        try {
            main.setAccessible(true); // a main in a class that is not public, as java allows
        } catch (RuntimeException e) {
            // left to invoke, which names the problem
        }
        return main;
    }

    private static String simpleName(String className) {
        return className.substring(className.lastIndexOf('.') + 1);
    }
}
