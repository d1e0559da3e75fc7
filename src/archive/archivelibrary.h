#pragma once

// libarchive, loaded on the first archive request rather than with the program, as the web engine
// and the media player are: most starts never open an archive, and the library, with the
// compression libraries it brings, was loaded and relocated at every start.

#include <archive.h>
#include <archive_entry.h>

struct ArchiveLibrary
{
    decltype(&::archive_error_string) error_string = nullptr;
    decltype(&::archive_format) format = nullptr;
    decltype(&::archive_read_new) read_new = nullptr;
    decltype(&::archive_read_free) read_free = nullptr;
    decltype(&::archive_read_support_format_rar) read_support_format_rar = nullptr;
    decltype(&::archive_read_support_format_rar5) read_support_format_rar5 = nullptr;
    decltype(&::archive_read_set_options) read_set_options = nullptr;
    decltype(&::archive_read_open_filenames) read_open_filenames = nullptr;
    decltype(&::archive_read_next_header) read_next_header = nullptr;
    decltype(&::archive_read_data_skip) read_data_skip = nullptr;
    decltype(&::archive_read_data_block) read_data_block = nullptr;
    decltype(&::archive_entry_pathname) entry_pathname = nullptr;
    decltype(&::archive_entry_pathname_utf8) entry_pathname_utf8 = nullptr;
    decltype(&::archive_entry_filetype) entry_filetype = nullptr;
    decltype(&::archive_entry_hardlink) entry_hardlink = nullptr;
    decltype(&::archive_entry_size) entry_size = nullptr;
    decltype(&::archive_entry_size_is_set) entry_size_is_set = nullptr;
    decltype(&::archive_entry_mtime) entry_mtime = nullptr;
    decltype(&::archive_entry_mtime_is_set) entry_mtime_is_set = nullptr;

    // The loaded library, or nullptr (with one debug line) when libarchive cannot be found or
    // lacks one of the calls above: then no archive can be read.
    static const ArchiveLibrary* get();
    // Whether get() has loaded the library in this process.
    static bool isLoaded();
    // The loaded library; only after get() gave it.
    static const ArchiveLibrary& calls();
};
