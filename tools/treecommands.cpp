#include "toolsupport.h"

#include "contenterror.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "treescript.h"

namespace {

// A contents tree script as the reader reads it: items with their children, in line order.
void dump(ToolArgs& args)
{
    args.setUsage(QStringLiteral("tree dump CONTAINER SCRIPT"));
    const QStringList words = args.positional(2, 2);
    TReadBin container;
    try {
        container.Open(words[0]);
    } catch (const ContentError& error) {
        fail(ExitBadInput, error.message());
    }
    const std::optional<QByteArray> stored = container.Read(words[1]);
    if (!stored)
        fail(ExitNotFound, QStringLiteral("%1 has no entry \"%2\"").arg(words[0], words[1]));
    const TreeScript tree = TreeScript::read(DecodeScript(*stored, false));
    // Compact and written without recursion: a tree of any depth fits the stack, and its text
    // grows with its items, not with its depth squared as indented text would.
    writeOutput(treeToJsonText(tree.items()) + '\n');
}

} // namespace

bool runTreeCommand(const QString& verb, ToolArgs& args)
{
    return runVerb(verb, args, {{"dump", dump}});
}
