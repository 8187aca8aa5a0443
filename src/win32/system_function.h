// A function of a system library looked up at run time: the library is
// loaded when first needed, not at start, and a function the system lacks
// is null instead of stopping the program from starting.
#pragma once

#include <windows.h>

namespace lumora {

template <class Fn>
Fn SystemFunction(const wchar_t* library, const char* name) {
  HMODULE module = LoadLibraryW(library);
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

}  // namespace lumora
