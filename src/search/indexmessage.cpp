#include "indexmessage.h"

QString indexMessageText(IndexMessage message)
{
    // The first text is spelt as the titles have always shown it.
    switch (message) {
    case IndexMessage::None:
        return QString();
    case IndexMessage::IndexFilesMissing:
        return QStringLiteral(u"Индескный(е) файл(ы) не найден");
    case IndexMessage::KeywordsUnreadable:
        return QStringLiteral(u"Индексный файл не найден (keywords.idx)");
    case IndexMessage::NumbersUnreadable:
        return QStringLiteral(u"Индексный файл не найден (index.idx)");
    case IndexMessage::FilesUnreadable:
        return QStringLiteral(u"Индексный файл не найден (files.idx)");
    case IndexMessage::ThesaurusUnreadable:
        return QStringLiteral(u"Индексный файл не найден (tezaurus.idx)");
    }
    return QString();
}

bool isIndexWarning(IndexMessage message)
{
    return message != IndexMessage::None && message != IndexMessage::IndexFilesMissing;
}
