#pragma once
#include <string>

// A shared library opened while the program runs, by its soname ("libz.so.1"), and closed
// with the object: what only some runs need is not loaded by every start.
class SharedLibrary {
 public:
  SharedLibrary() = default;
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // Opens `name` with all its symbols bound now; on failure returns false with the reason
  // in `problem`.
  bool Open(const std::string& name, std::string& problem);
  // Points `function` at the library's `symbol`; on failure sets it to null and returns
  // false with the reason in `problem`.
  template <typename Function>
  bool Find(const char* symbol, Function*& function, std::string& problem) const {
    function = reinterpret_cast<Function*>(Address(symbol, problem));
    return function != nullptr;
  }

 private:
  void* Address(const char* symbol, std::string& problem) const;

  void* handle_ = nullptr;
};
