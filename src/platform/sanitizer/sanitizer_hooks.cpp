// SPDX-License-Identifier: GPL-3.0-or-later
// Compiled into each program (the qrp_sanitizer_hooks target): in sanitizer
// builds the runtime asks for these hooks at start-up, and a static library's
// member that nothing calls would never be linked.

// These leaks live inside system libraries (one-time caches of CUPS,
// fontconfig, D-Bus) that we cannot free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libcups\nleak:libfontconfig\nleak:libdbus\nleak:_ppdCacheCreateWithPPD\n";
}

// The __tls_get_addr interceptor of GCC 12's runtime (Debian 12) takes a
// thread's dynamic TLS block for a pre-2.25 glibc one whenever the block
// happens to start 16 bytes into a page, and reads a bogus range from it:
// LeakSanitizer's tracer then dies with signal 11 at exit, now and then and
// more often under load, after every test passed. Without the interceptor
// the tracer still scans static TLS and every thread's stack.
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}
