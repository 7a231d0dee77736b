// A shared library opened where it is first needed rather than with the program: the dynamic
// linker's work for a library the program links (loading it, binding its symbols) is paid at
// every start, even by a run that never uses it.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

namespace quillmark {

class SharedLibrary {
 public:
  // Opens the library `soname` ("libssl.so.3"), found as the dynamic linker finds a linked
  // one, with every symbol bound at once. It is never closed: its functions may be held
  // anywhere, and some libraries register exit handlers. Throws std::runtime_error
  // ("<soname>: <the loader's reason>") when it cannot be opened.
  explicit SharedLibrary(const std::string& soname);

  // Sets `function` to the library's function `name`; throws std::runtime_error
  // ("<soname>: <the loader's reason>") when the library has none of that name.
  template <typename Function>
  void Find(const char* name, Function*& function) const {
    function = reinterpret_cast<Function*>(Symbol(name));
  }

 private:
  void* Symbol(const char* name) const;

  std::string soname_;
  void* handle_ = nullptr;
};

// Declares `struct Type` with a pointer to each function of `LIST` (an X-macro list:
// `#define LIST(X) X(first) X(second) ...`) under the function's own name and type, and its
// `static Type From(const SharedLibrary&)`, which finds them all (throwing as Find does).
#define QUILLMARK_LIBRARY_FUNCTIONS(Type, LIST)      \
  struct Type {                                      \
    LIST(QUILLMARK_FUNCTION_POINTER)                 \
    static Type From(const SharedLibrary& library) { \
      Type functions;                                \
      LIST(QUILLMARK_FIND_FUNCTION)                  \
      return functions;                              \
    }                                                \
  };
#define QUILLMARK_FUNCTION_POINTER(name) decltype(&::name) name = nullptr;
#define QUILLMARK_FIND_FUNCTION(name) library.Find(#name, functions.name);

// The functions that `load` takes from a library, loaded at the first call and kept for the
// life of the process (as the library is). A load that throws is tried again at the next
// call. After the first load a call costs one atomic read.
template <typename Functions, Functions (*load)()>
const Functions& LoadedOnce() {
  static std::atomic<const Functions*> loaded{nullptr};
  if (const Functions* functions = loaded.load(std::memory_order_acquire)) return *functions;
  static std::mutex loading;
  const std::lock_guard lock(loading);
  if (loaded.load(std::memory_order_relaxed) == nullptr) {
    loaded.store(new const Functions(load()), std::memory_order_release);
  }
  return *loaded.load(std::memory_order_relaxed);
}

}  // namespace quillmark
