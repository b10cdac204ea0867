// fontconfig keeps its font caches for the life of the process and never frees them; the leak checker of the
// sanitizer builds would report them at exit from every program that draws text.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango\nleak:libglib\nleak:libharfbuzz\n";
}
