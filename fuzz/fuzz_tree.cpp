// The contents tree script (tree1.cfs, tree2.cfs): the items, their levels and parents, and the
// chapter steps, look-ups and hints the window asks of a tree, over every item. The input is
// the script's text; it reaches the reader through our script writer and the program's decoder,
// without lower-casing, as the trees are read.

#include "fuzzsupport.h"
#include "treescript.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TreeScript tree = TreeScript::read(fuzz::storedScriptLines(fuzz::textLines(data, size), false));
    const int count = int(tree.size());
    for (int i = 0; i < count; ++i) {
        const TreeItem& item = tree.items()[i];
        FUZZ_CHECK(item.parent < i, QStringLiteral("item %1 has a parent after it").arg(i));
        FUZZ_CHECK(item.parent < 0 || tree.items()[item.parent].level == item.level - 1,
                   QStringLiteral("item %1 is not one level below its parent").arg(i));
        FUZZ_CHECK(tree.row(i) >= 0, QStringLiteral("item %1 has no row").arg(i));
    }
    FUZZ_CHECK(tree.walk().size() == count, QStringLiteral("the walk misses or repeats items"));
    // The chapter steps from every item, and from none.
    const int limit = qMin(count, 200);
    for (int focused = -1; focused < limit; ++focused) {
        const int next = tree.NextChapter(focused);
        const int previous = tree.PrevChapter(focused);
        FUZZ_CHECK(next >= -1 && next < count && previous >= -1 && previous < count,
                   QStringLiteral("a chapter step left the tree from %1").arg(focused));
        tree.nextChapterOrNone(focused);
        tree.prevChapterOrNone(focused);
        tree.nextChapterHint(focused);
        tree.prevChapterHint(focused);
        tree.chapterTitle(focused);
        tree.children(focused);
    }
    for (int i = 0; i < limit; ++i) {
        const TreeItem& item = tree.items()[i];
        const int found = tree.findPage(item.link);
        FUZZ_CHECK(found >= -1 && found < count, item.link);
        tree.linkNamesPage(i, item.link);
        tree.findLink(treeFileName(item.link));
        tree.findCaption(item.caption.left(3), i);
        treePageKey(item.link);
    }
    treeToJsonText(tree.items());
    return 0;
}
