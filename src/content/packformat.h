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

// What a real pack can hold, so that a small damaged file cannot make the reader build gigabytes
// of entries. A directory of 80-byte records whose names and offsets differ deflates about 30 to 1
// at most; a deflated directory that claims to inflate more than kMaxDirectoryRatio times its
// packed size is refused (the writer stores such a directory rather than deflate it). A manual
// holds far fewer than kMaxEntries files and folders; every folder but the root is an entry.
constexpr qint64 kMaxDirectoryRatio = 64;
constexpr qint64 kMaxEntries = qint64(1) << 20;
constexpr qint64 kMaxFolders = kMaxEntries + 1;
constexpr qint64 kMaxDirectorySize =
    kDirectoryHeaderSize + kFolderRecordSize * kMaxFolders + kEntryRecordSize * kMaxEntries;

} // namespace PackFormat
