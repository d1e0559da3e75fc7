#pragma once

// The fixed numbers of the pack format, shared by the reader and the writer.

#include <QtGlobal>

namespace PackFormat {

// The two header words are stored XOR these masks: the unpacked directory size minus the packed
// one, and the packed directory size.
constexpr quint32 kSizeDifferenceMask = 0x6D2A93C5;
constexpr quint32 kPackedSizeMask = 0x3E8B5F17;

constexpr qint64 kHeaderSize = 8;
constexpr qint64 kDirectoryHeaderSize = 16; // folder count, entry count, reserved, root folder
constexpr qint64 kFolderRecordSize = 8;     // first entry, entry count
constexpr qint64 kEntryRecordSize = 80;     // name, offset, stored size, size, type
constexpr qsizetype kEntryNameSize = 64;

} // namespace PackFormat
