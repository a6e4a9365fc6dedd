/* Preloaded (LD_PRELOAD) into every process of a sanitizer run: Mesa's DRI driver stays loaded
 * until the process exits.
 *
 * Why: glfwTerminate unloads the driver (dlclose of *_dri.so) while the driver's own globals
 * still point at blocks it allocated. LeakSanitizer scans only the data of libraries that are
 * still loaded, so at exit those blocks look leaked, and their allocation stacks end in a module
 * that is gone, which no suppression can name. With the driver kept, its globals are scanned
 * and only real leaks are reported. Built without sanitizers (it is also preloaded into the
 * uninstrumented tools the tests start); every other library is unloaded as usual. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <link.h>
#include <string.h>

int dlclose(void* handle) {
    static int (*next)(void*);
    struct link_map* map = NULL;
    if (next == NULL)
        next = (int (*)(void*))dlsym(RTLD_NEXT, "dlclose");
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map != NULL &&
        strstr(map->l_name, "_dri.so") != NULL)
        return 0;
    return next(handle);
}
