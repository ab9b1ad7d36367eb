#pragma once

#include <dlfcn.h>

#include <optional>

namespace q47 {

// A library opened by its file name while the program runs, and kept open until it ends: the
// program starts without loading it, and works on without it where it is missing.
class SharedLibrary {
public:
    explicit SharedLibrary(const char *fileName)
        : handle_(dlopen(fileName, RTLD_LAZY | RTLD_LOCAL)) {}

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

// A library's C functions, called as if the program were linked with the library, which is
// opened on the first call instead. LIST is an X-macro naming each function with its return
// type, its parameters, the arguments it passes on and what it returns without the library:
//   #define LIST(X) X(int, lib_open, (const char *name), (name), -1)
// Q47_LAZY_FUNCTIONS(Struct, accessor, fileName, LIST) defines `const Struct *accessor()`, the
// functions resolved, null when the library or one of them is missing. Then, outside any
// namespace and with Q47_LAZY_ACCESSOR defined as that accessor, LIST(Q47_LAZY_FORWARD)
// defines the functions themselves.
#define Q47_LAZY_POINTER(type, name, parameters, arguments, failed)                                \
    decltype(&::name) name = nullptr;
#define Q47_LAZY_RESOLVE(type, name, parameters, arguments, failed)                                \
    complete = library.resolve(functions.name, #name) && complete;
#define Q47_LAZY_FUNCTIONS(Struct, accessor, fileName, LIST)                                       \
    struct Struct {                                                                                \
        LIST(Q47_LAZY_POINTER)                                                                     \
    };                                                                                             \
    const Struct *accessor() {                                                                     \
        static const std::optional<Struct> opened = []() -> std::optional<Struct> {                \
            const ::q47::SharedLibrary library(fileName);                                          \
            Struct functions;                                                                      \
            bool complete = true;                                                                  \
            LIST(Q47_LAZY_RESOLVE)                                                                 \
            if (!complete)                                                                         \
                return std::nullopt;                                                               \
            return functions;                                                                      \
        }();                                                                                       \
        return opened ? &*opened : nullptr;                                                        \
    }
#define Q47_LAZY_FORWARD(type, name, parameters, arguments, failed)                                \
    type name parameters {                                                                         \
        const auto *library = Q47_LAZY_ACCESSOR();                                                 \
        return library ? library->name arguments : failed;                                         \
    }
