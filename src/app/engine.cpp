#include "engine.h"

#include <QCoreApplication>
#include <QLibrary>

#include <cstdio>

EngineParts* LoadEngine()
{
    static EngineParts* parts = [] () -> EngineParts* {
        // The library stays loaded to the end: the engine keeps threads and objects of its own.
        QLibrary library(QCoreApplication::applicationDirPath() + QStringLiteral("/libvelbrook-engine"));
        using Entry = EngineParts* (*)();
        const auto entry = reinterpret_cast<Entry>(library.resolve(kEnginePartsSymbol));
        if (!entry) {
            std::fprintf(stderr, "velbrook: the web engine cannot be loaded: %s\n", qUtf8Printable(library.errorString()));
            return nullptr;
        }
        return entry();
    }();
    return parts;
}
