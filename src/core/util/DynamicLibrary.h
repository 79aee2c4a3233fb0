#pragma once

#include <dlfcn.h>

namespace tarmelo::util {

// Points `f` at the function `name` of a library opened with dlopen; false when the library lacks it.
template <typename F> bool resolve(void* lib, F& f, const char* name) {
    f = reinterpret_cast<F>(dlsym(lib, name));
    return f != nullptr;
}

} // namespace tarmelo::util
