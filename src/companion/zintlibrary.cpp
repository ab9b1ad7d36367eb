// The libzint functions that the tickets' barcodes call, defined here, each handing the call to
// the library, so that the program does not load libzint before its first barcode: the library
// is opened on the first call. Without it no symbol is made, and tickets show no barcode.
#include "sharedlibrary.h"

#include <zint.h>

// Each function: its return type, its parameters, the arguments passed on and what it returns
// without the library.
#define Q47_ZINT_FUNCTIONS(X)                                                                      \
    X(zint_symbol *, ZBarcode_Create, (void), (), nullptr)                                         \
    X(void, ZBarcode_Delete, (zint_symbol * symbol), (symbol), void())                             \
    X(int, ZBarcode_Encode, (zint_symbol * symbol, const unsigned char *source, int length),       \
      (symbol, source, length), ZINT_ERROR_ENCODING_PROBLEM)                                       \
    X(int, ZBarcode_Buffer_Vector, (zint_symbol * symbol, int rotation), (symbol, rotation),       \
      ZINT_ERROR_ENCODING_PROBLEM)

namespace q47 {
namespace {
Q47_LAZY_FUNCTIONS(Zint, zint, Q47_ZINT_SONAME, Q47_ZINT_FUNCTIONS)
} // namespace
} // namespace q47

#define Q47_LAZY_ACCESSOR q47::zint
Q47_ZINT_FUNCTIONS(Q47_LAZY_FORWARD)
#undef Q47_LAZY_ACCESSOR
