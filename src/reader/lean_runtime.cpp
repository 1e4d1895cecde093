// The reader carries as little of the C++ runtime as it can. The library's
// helpers that throw for a length past a container's limit, a bad index or
// an empty std::function each bring the standard exception classes and a
// second, reference-counted std::string with them (some 35 KB); in the
// reader none of these is ever caught, so each stops the program as an
// uncaught exception would. Running out of memory still throws std::bad_alloc
// from operator new, where the book's decoder catches it.
#include <zlib.h>

#include <cstdlib>

namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
}  // namespace std

// The default terminate handler would bring a C++ name demangler.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// zlib's inflate names crc32 for gzip streams only; the reader inflates zlib
// streams (inflateInit, never a gzip header), so it is never called, and its
// 12 KB of tables stay out.
extern "C" uLong ZEXPORT crc32(uLong, const Bytef*, uInt) { std::abort(); }
