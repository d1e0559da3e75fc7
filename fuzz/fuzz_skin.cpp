// The skin script (Struct.cfs) read into the window's model: the header, then the screens and
// every element kind, and the model written out as `velbrook-tool script dump` shows it. The input
// is the script's text; it reaches the model through our script writer and the program's decoder.

#include "fuzzsupport.h"
#include "skinpictures.h"
#include "skinscript.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QStringList lines = fuzz::storedScriptLines(fuzz::textLines(data, size), true);
    SkinScript script(ProgramFolders{QStringLiteral("/cd/"), QStringLiteral("/cd/run/")});
    script.readHeader(lines);
    script.readElements(lines);
    FUZZ_CHECK(script.screens.size() <= SkinScript::kMaxScreens, QStringLiteral("too many screens"));
    for (const SkinScreen& screen : std::as_const(script.screens)) {
        const qsizetype elements =
            screen.buttons.size() + screen.switchone.size() + screen.switchgrp.size() + screen.popups.size();
        FUZZ_CHECK(elements <= 4 * SkinScript::kMaxElementsPerScreen, QStringLiteral("a screen without bounds"));
    }
    FUZZ_CHECK(script.problems.size() <= SkinScript::kMaxProblems + 1, QStringLiteral("problems without bounds"));
    script.hasStartClip();
    script.hasClickSounds();
    skinScriptToJson(script);
    return 0;
}
