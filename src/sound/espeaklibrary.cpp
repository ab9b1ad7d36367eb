// The eSpeak NG functions that the speech calls, defined here, each handing the call to the
// library, so that the program does not load eSpeak and the audio libraries it brings before
// the speech first looks for its voice: the library is opened on the first call. Without it
// every call does nothing and fails as eSpeak reports a failure, so the speech stays off.
#include "sharedlibrary.h"

#include <espeak-ng/espeak_ng.h>

#include <optional>

// Each function: its name, its parameters, the arguments passed on and what it returns
// without the library.
#define Q47_ESPEAK_FUNCTIONS(X)                                                                    \
    X(void, espeak_ng_InitializePath, (const char *path), (path), void())                          \
    X(const char *, espeak_Info, (const char **path),                                              \
      (path), (path ? *path = nullptr : nullptr, nullptr))                                         \
    X(int, espeak_Initialize,                                                                      \
      (espeak_AUDIO_OUTPUT output, int bufferMs, const char *path, int options),                   \
      (output, bufferMs, path, options), EE_INTERNAL_ERROR)                                        \
    X(espeak_ERROR, espeak_Terminate, (void), (), EE_INTERNAL_ERROR)                               \
    X(void, espeak_SetSynthCallback, (t_espeak_callback * callback), (callback), void())           \
    X(espeak_ERROR, espeak_SetVoiceByName, (const char *name), (name), EE_INTERNAL_ERROR)          \
    X(const espeak_VOICE **, espeak_ListVoices, (espeak_VOICE * spec), (spec), nullptr)            \
    X(espeak_ERROR, espeak_SetParameter, (espeak_PARAMETER parameter, int value, int relative),    \
      (parameter, value, relative), EE_INTERNAL_ERROR)                                             \
    X(espeak_ERROR, espeak_Synth,                                                                  \
      (const void *text, size_t size, unsigned int position, espeak_POSITION_TYPE type,            \
       unsigned int end, unsigned int flags, unsigned int *id, void *data),                        \
      (text, size, position, type, end, flags, id, data), EE_INTERNAL_ERROR)

namespace q47 {
namespace {

struct Espeak {
#define Q47_ESPEAK_POINTER(type, name, parameters, arguments, failed)                              \
    decltype(&::name) name = nullptr;
    Q47_ESPEAK_FUNCTIONS(Q47_ESPEAK_POINTER)
#undef Q47_ESPEAK_POINTER
};

// Null when the library or one of its functions is missing.
const Espeak *espeak() {
    static const std::optional<Espeak> library = []() -> std::optional<Espeak> {
        const SharedLibrary file(Q47_ESPEAK_NG_SONAME);
        Espeak functions;
        bool complete = true;
#define Q47_ESPEAK_RESOLVE(type, name, parameters, arguments, failed)                              \
    complete = file.resolve(functions.name, #name) && complete;
        Q47_ESPEAK_FUNCTIONS(Q47_ESPEAK_RESOLVE)
#undef Q47_ESPEAK_RESOLVE
        if (!complete)
            return std::nullopt;
        return functions;
    }();
    return library ? &*library : nullptr;
}

} // namespace
} // namespace q47

#define Q47_ESPEAK_FORWARD(type, name, parameters, arguments, failed)                              \
    type name parameters {                                                                         \
        const q47::Espeak *library = q47::espeak();                                                \
        return library ? library->name arguments : failed;                                         \
    }
Q47_ESPEAK_FUNCTIONS(Q47_ESPEAK_FORWARD)
#undef Q47_ESPEAK_FORWARD
