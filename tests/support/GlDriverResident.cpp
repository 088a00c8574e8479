// Linked into the test programs that check for leaks while drawing with Mesa.
//
// Mesa unloads its driver in eglTerminate, and the few bytes it keeps past that point then
// have no module name in their stacks, so tests/lsan.supp cannot match them. Every library
// loaded at that moment is marked never to be unloaded before the real eglTerminate runs: the
// driver's frames keep their names and only those are suppressed, while leaks of our own code
// still fail the test.
#include <EGL/egl.h>
#include <dlfcn.h>
#include <link.h>

namespace
{
int KeepResident(struct dl_phdr_info* pInfo, size_t, void*)
{
    if (pInfo->dlpi_name && pInfo->dlpi_name[0])
    {
        // RTLD_NOLOAD only raises the flags of a library that is already there.
        if (void* pHandle = dlopen(pInfo->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE))
            dlclose(pHandle);
    }
    return 0;
}

using TerminateFunction = EGLBoolean (*)(EGLDisplay);
} // namespace

extern "C" EGLBoolean eglTerminate(EGLDisplay pDisplay)
{
    dl_iterate_phdr(KeepResident, nullptr);
    static const TerminateFunction s_pReal =
        reinterpret_cast<TerminateFunction>(dlsym(RTLD_NEXT, "eglTerminate"));
    return s_pReal ? s_pReal(pDisplay) : EGL_FALSE;
}
