// fontconfig keeps its font caches for the life of the process and never frees them; the leak checker of the
// sanitizer builds would report them at exit from every program that draws text. The browser engine's script
// library keeps a few process-wide objects the same way.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango\nleak:libglib\nleak:libharfbuzz\nleak:libjavascriptcoregtk\n";
}
