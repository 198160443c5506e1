// Parts of the C++ runtime that Quellbox.exe replaces to stay small. libstdc++'s own versions
// carry text for messages nobody sees: its terminate handler prints the exception's demangled
// name (linking the whole name demangler, about 45 KB), and its throw helpers build
// std::logic_error and friends, whose reference-counted strings bring a second copy of the
// string code (about 50 KB). Quellbox's own exceptions say what went wrong; the library's
// only say that something did, for the failure log. So the helpers throw std::bad_alloc,
// which carries no string, and terminate only aborts.
#include <cstdlib>
#include <new>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_alloc(); }
void __throw_length_error(const char*) { throw bad_alloc(); }
void __throw_logic_error(const char*) { throw bad_alloc(); }
void __throw_out_of_range(const char*) { throw bad_alloc(); }
void __throw_out_of_range_fmt(const char*, ...) { throw bad_alloc(); }
void __throw_invalid_argument(const char*) { throw bad_alloc(); }
void __throw_bad_function_call() { throw bad_alloc(); }
void __throw_runtime_error(const char*) { throw bad_alloc(); }
}  // namespace std
