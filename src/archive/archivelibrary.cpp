#include "archivelibrary.h"

#include "archivelog.h"

#include <QLibrary>

#include <atomic>
#include <type_traits>

namespace {

std::atomic<bool> loaded{false};

} // namespace

const ArchiveLibrary* ArchiveLibrary::get()
{
    static const ArchiveLibrary* const library = []() -> const ArchiveLibrary* {
        // The library stays loaded to the end of the process.
        static QLibrary file;
        // libarchive 3 is libarchive.so.13.
        file.setFileNameAndVersion(QStringLiteral("archive"), 13);
        if (!file.load()) {
            file.setFileNameAndVersion(QStringLiteral("archive"), QString());
            if (!file.load()) {
                qCDebug(lcArchive) << "libarchive cannot be loaded, no archive can be read:" << file.errorString();
                return nullptr;
            }
        }
        loaded = true;
        static ArchiveLibrary api;
        bool complete = true;
        const auto resolve = [&complete](auto& function, const char* symbol) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(file.resolve(symbol));
            if (!function) {
                qCDebug(lcArchive) << "libarchive has no" << symbol << "- no archive can be read";
                complete = false;
            }
        };
        resolve(api.error_string, "archive_error_string");
        resolve(api.format, "archive_format");
        resolve(api.read_new, "archive_read_new");
        resolve(api.read_free, "archive_read_free");
        resolve(api.read_support_format_rar, "archive_read_support_format_rar");
        resolve(api.read_support_format_rar5, "archive_read_support_format_rar5");
        resolve(api.read_set_options, "archive_read_set_options");
        resolve(api.read_open_filenames, "archive_read_open_filenames");
        resolve(api.read_next_header, "archive_read_next_header");
        resolve(api.read_data_skip, "archive_read_data_skip");
        resolve(api.read_data_block, "archive_read_data_block");
        resolve(api.entry_pathname, "archive_entry_pathname");
        resolve(api.entry_pathname_utf8, "archive_entry_pathname_utf8");
        resolve(api.entry_filetype, "archive_entry_filetype");
        resolve(api.entry_hardlink, "archive_entry_hardlink");
        resolve(api.entry_size, "archive_entry_size");
        resolve(api.entry_size_is_set, "archive_entry_size_is_set");
        resolve(api.entry_mtime, "archive_entry_mtime");
        resolve(api.entry_mtime_is_set, "archive_entry_mtime_is_set");
        return complete ? &api : nullptr;
    }();
    return library;
}

bool ArchiveLibrary::isLoaded()
{
    return loaded;
}

const ArchiveLibrary& ArchiveLibrary::calls()
{
    const ArchiveLibrary* library = get();
    Q_ASSERT(library);
    return *library;
}
