// A module of its own for the language manager's tests: a shared library whose folder holds its
// language file.
extern "C" int LanguageTestModule() { return 1; }
