#include "platform/SharedLibrary.h"

#include <dlfcn.h>

namespace {

std::string LastError() {
  const char* error = dlerror();
  return error ? error : "unknown error";
}

}  // namespace

SharedLibrary::~SharedLibrary() {
  if (handle_) dlclose(handle_);
}

bool SharedLibrary::Open(const std::string& name, std::string& problem) {
  if (handle_) dlclose(handle_);
  // RTLD_LOCAL: its symbols serve only the lookups made here.
  handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) problem = LastError();
  return handle_ != nullptr;
}

void* SharedLibrary::Address(const char* symbol, std::string& problem) const {
  if (!handle_) {
    problem = std::string("no library is open to find ") + symbol + " in";
    return nullptr;
  }
  dlerror();  // clears an older error, so that a null below is this lookup's
  void* address = dlsym(handle_, symbol);
  if (!address) problem = LastError();
  return address;
}
