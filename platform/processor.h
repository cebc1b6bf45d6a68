#pragma once
// What the processor the program runs on can do, for the few loops that
// have a vector form besides their plain one.

namespace varnel {

inline bool ProcessorHasAvx2() {
#if defined(__i386__) || defined(__x86_64__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

}  // namespace varnel
