// The two functions behind levelcheck's "one worker process per processor"
// that this emscripten's C library declares but does not define. In the
// browser the sweep's parallelism is the page's Web Workers, and each of
// them is one processor to the code inside it.
#include <sched.h>

#include <cerrno>

extern "C" {

int sched_getaffinity(pid_t, size_t, cpu_set_t*) {
    errno = ENOSYS; // levelcheck then asks sysconf, which answers 1
    return -1;
}

int __sched_cpucount(size_t size, const cpu_set_t* set) {
    int count = 0;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(set);
    for (size_t i = 0; i < size; ++i) {
        for (unsigned b = bytes[i]; b; b >>= 1)
            count += static_cast<int>(b & 1);
    }
    return count;
}

} // extern "C"
