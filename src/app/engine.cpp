#include "engine.h"

#include <QCoreApplication>
#include <QLibrary>

#include <cstdio>

QFunctionPointer resolveEngineEntry(const QString& modulePath, const char* symbol)
{
    // The library stays loaded to the end: the engine keeps threads and objects of its own.
    QLibrary library(modulePath);
    const QFunctionPointer entry = library.resolve(symbol);
    if (!entry)
        std::fprintf(stderr, "velbrook: the web engine cannot be loaded: %s\n", qUtf8Printable(library.errorString()));
    return entry;
}

EngineParts* loadEngine()
{
    static EngineParts* parts = []() -> EngineParts* {
        using Entry = EngineParts* (*)();
        const auto entry = reinterpret_cast<Entry>(resolveEngineEntry(
            QCoreApplication::applicationDirPath() + QStringLiteral("/libvelbrook-engine"), kEnginePartsSymbol));
        return entry ? entry() : nullptr;
    }();
    return parts;
}
