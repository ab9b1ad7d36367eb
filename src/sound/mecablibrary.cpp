// The MeCab functions that the reading calls, defined here, each handing the call to the
// library, so that the program does not load MeCab before its first reading: the library is
// opened on the first call. Without it no model is made, and the reading is unavailable.
#include "sharedlibrary.h"

#include <mecab.h>

#include <optional>

namespace q47 {
namespace {

struct Mecab {
    MeCab::Model *(*createModel)(const char *) = nullptr;
    void (*deleteModel)(MeCab::Model *) = nullptr;
    void (*deleteTagger)(MeCab::Tagger *) = nullptr;
    void (*deleteLattice)(MeCab::Lattice *) = nullptr;
};

// Null when the library or one of its functions is missing.
const Mecab *mecab() {
    static const std::optional<Mecab> library = []() -> std::optional<Mecab> {
        const SharedLibrary file(Q47_MECAB_SONAME);
        Mecab functions;
        // The library's C++ names, as its compiler wrote them.
        const bool complete =
            file.resolve(functions.createModel, "_ZN5MeCab11createModelEPKc") &&
            file.resolve(functions.deleteModel, "_ZN5MeCab11deleteModelEPNS_5ModelE") &&
            file.resolve(functions.deleteTagger, "_ZN5MeCab12deleteTaggerEPNS_6TaggerE") &&
            file.resolve(functions.deleteLattice, "_ZN5MeCab13deleteLatticeEPNS_7LatticeE");
        if (!complete)
            return std::nullopt;
        return functions;
    }();
    return library ? &*library : nullptr;
}

} // namespace
} // namespace q47

namespace MeCab {

Model *createModel(const char *arguments) {
    const q47::Mecab *library = q47::mecab();
    return library ? library->createModel(arguments) : nullptr;
}

// Only what the library made comes here, so the library is open.
void deleteModel(Model *model) {
    if (const q47::Mecab *library = q47::mecab())
        library->deleteModel(model);
}

void deleteTagger(Tagger *tagger) {
    if (const q47::Mecab *library = q47::mecab())
        library->deleteTagger(tagger);
}

void deleteLattice(Lattice *lattice) {
    if (const q47::Mecab *library = q47::mecab())
        library->deleteLattice(lattice);
}

} // namespace MeCab
