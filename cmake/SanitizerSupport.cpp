// Linked into every executable of a sanitised build (tests, their helper programs, the fuzzers and the
// application), so that the leak check behaves the same whoever starts the program.
//
// Libraries loaded with dlopen stay mapped until the process ends. The GL stack loads the Mesa driver
// (and GLFW the X extension libraries) with dlopen and unloads it when the display closes, which GLFW
// does in glfwTerminate, before the leak scan at exit. The driver keeps allocations for the process's
// life that only its own globals point to: once its data is unmapped those look leaked, and their
// allocation stacks end in code that is no longer mapped ("<unknown module>"), so no suppression can
// name them. A full unwind may still reach a named frame further down, which is why such reports came
// and went with fast_unwind_on_malloc. Kept mapped, the globals stay roots of the scan and the frames
// keep their library names. Nothing is dropped from the scan: a leak of our own is still reported.

#include <dlfcn.h>
#include <link.h>

extern "C" {

__attribute__((visibility("default"), used)) int dlclose(void* handle)
{
    using Close = int (*)(void*);
    static const auto realClose = reinterpret_cast<Close>(dlsym(RTLD_NEXT, "dlclose"));
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name) {
        // Reopening with RTLD_NODELETE marks the library (and so what it needs) as never unloaded; the
        // extra reference is given back at once.
        if (void* pinned = dlopen(map->l_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE)) {
            realClose(pinned);
        }
    }
    return realClose(handle);
}

// The unwinder sorts the unwind tables registered at run time under its own lock and allocates while it
// does; with a full unwind on every allocation (fast_unwind_on_malloc=0) that allocation unwinds again and
// waits for the same lock for ever. The GL driver's JIT (llvmpipe) registers the tables of every shader it
// compiles; nothing unwinds through shader code, so its registrations are dropped.
__attribute__((visibility("default"), used)) void __register_frame(void*) {}
__attribute__((visibility("default"), used)) void __deregister_frame(void*) {}

// Leaks inside system libraries we do not own. The scan leaves thread-local storage out (see
// __lsan_default_options), so blocks held only there are listed too: the dynamic linker's and
// dlerror's per-thread state, GLib's thread privates and GoogleTest's trace stack.
__attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
    return "leak:libGLX_mesa\n"
           "leak:swrast_dri\n"
           "leak:libgallium\n"
           "leak:libLLVM\n"
           "leak:libX11\n"
           "leak:libxcb\n"
           "leak:libfontconfig\n"
           "leak:libglfw\n"
           "leak:libdbus\n"
           "leak:ld-linux-x86-64.so\n"
           "leak:_dlerror_run\n"
           "leak:libglib-2.0\n"
           "leak:testing::internal::ThreadLocal\n";
}

// Reading the dynamic thread-local storage of dlopen'ed libraries crashes this toolchain's scan at exit
// now and then ("Tracer caught signal 11"), failing a program that passed.
__attribute__((visibility("default"), used)) const char* __lsan_default_options()
{
    return "use_tls=0:print_suppressions=0";
}

} // extern "C"
