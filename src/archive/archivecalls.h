#pragma once

// For the code that reads archives: libarchive's calls keep their names, and each goes through
// the library ArchiveLibrary loaded on first use. Include after <archive.h>, in a source file
// that calls ArchiveLibrary::get() before any of them can run.

#include "archivelibrary.h"

#define archive_error_string (ArchiveLibrary::calls().error_string)
#define archive_format (ArchiveLibrary::calls().format)
#define archive_read_new (ArchiveLibrary::calls().read_new)
#define archive_read_free (ArchiveLibrary::calls().read_free)
#define archive_read_support_format_rar (ArchiveLibrary::calls().read_support_format_rar)
#define archive_read_support_format_rar5 (ArchiveLibrary::calls().read_support_format_rar5)
#define archive_read_set_options (ArchiveLibrary::calls().read_set_options)
#define archive_read_open_filenames (ArchiveLibrary::calls().read_open_filenames)
#define archive_read_next_header (ArchiveLibrary::calls().read_next_header)
#define archive_read_data_skip (ArchiveLibrary::calls().read_data_skip)
#define archive_read_data_block (ArchiveLibrary::calls().read_data_block)
#define archive_entry_pathname (ArchiveLibrary::calls().entry_pathname)
#define archive_entry_pathname_utf8 (ArchiveLibrary::calls().entry_pathname_utf8)
#define archive_entry_filetype (ArchiveLibrary::calls().entry_filetype)
#define archive_entry_hardlink (ArchiveLibrary::calls().entry_hardlink)
#define archive_entry_size (ArchiveLibrary::calls().entry_size)
#define archive_entry_size_is_set (ArchiveLibrary::calls().entry_size_is_set)
#define archive_entry_mtime (ArchiveLibrary::calls().entry_mtime)
#define archive_entry_mtime_is_set (ArchiveLibrary::calls().entry_mtime_is_set)
