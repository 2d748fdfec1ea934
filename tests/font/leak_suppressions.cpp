// fontconfig keeps blocks of its configuration parse unreachable for the life of the process;
// they are its own, not the library's, so the leak checker is told to pass over them.
extern "C" __attribute__((visibility("default"))) const char *__lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
