// The eSpeak NG functions that the speech calls, defined here, each handing the call to the
// library, so that the program does not load eSpeak and the audio libraries it brings before
// the speech first looks for its voice: the library is opened on the first call. Without it
// every call does nothing and fails as eSpeak reports a failure, so the speech stays off.
#include "sharedlibrary.h"

#include <espeak-ng/espeak_ng.h>

// Each function: its name, its parameters, the arguments passed on and what it returns
// without the library.
#define Q47_ESPEAK_FUNCTIONS(X)                                                                    \
    X(void, espeak_ng_InitializePath, (const char *path), (path), void())                          \
    X(const char *, espeak_Info, (const char **path), (path),                                      \
      (path ? *path = nullptr : nullptr, nullptr))                                                 \
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
Q47_LAZY_FUNCTIONS(Espeak, espeak, Q47_ESPEAK_NG_SONAME, Q47_ESPEAK_FUNCTIONS)
} // namespace
} // namespace q47

#define Q47_LAZY_ACCESSOR q47::espeak
Q47_ESPEAK_FUNCTIONS(Q47_LAZY_FORWARD)
#undef Q47_LAZY_ACCESSOR
