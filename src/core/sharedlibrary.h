#pragma once

#include <dlfcn.h>

namespace q47 {

// A library opened by its file name while the program runs, and kept open until it ends: the
// program starts without loading it, and works on without it where it is missing.
class SharedLibrary {
public:
    explicit SharedLibrary(const char *fileName) : handle_(dlopen(fileName, RTLD_LAZY | RTLD_LOCAL)) {}

    bool isOpen() const { return handle_ != nullptr; }
    // Points `function` at the library's function `name`, found in the library or in the
    // libraries it loaded; false, and null, when there is none.
    template <class Function> bool resolve(Function &function, const char *name) const {
        function = handle_ ? reinterpret_cast<Function>(dlsym(handle_, name)) : nullptr;
        return function != nullptr;
    }

private:
    void *handle_;
};

} // namespace q47
