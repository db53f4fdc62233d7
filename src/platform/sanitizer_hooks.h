#pragma once
// Include once in each program's main file. In sanitizer builds LeakSanitizer
// asks for this hook at start-up: these leaks live inside system libraries
// (one-time caches of CUPS, fontconfig, D-Bus) that we cannot free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libcups\nleak:libfontconfig\nleak:libdbus\nleak:_ppdCacheCreateWithPPD\n";
}
