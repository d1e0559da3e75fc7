#pragma once

// Folders of this user's alone, for what the program writes for itself while it runs (the pages
// of archive listings and their unpacked files): never in the temporary folder that every user
// and program shares, where a name can be taken or a link laid in advance.

#include <QString>
#include <QStringList>

#include <optional>

// base/components[0]/components[1]/...: each component made with owner-only access when it is
// missing; one that exists is taken only when it is a folder itself (not a symbolic link) owned by
// the user, and its access is narrowed to the owner. base must be a folder owned by the user.
// Nothing, with one debug line, when a step is refused or cannot be made.
std::optional<QString> makePrivateFolder(const QString& base, const QStringList& components);

// makePrivateFolder below the first base that takes it: $VELBROOK_RUNTIME_DIR when set (tests,
// sessions kept apart), else the session's runtime folder ($XDG_RUNTIME_DIR), else the user's
// cache folder (~/.cache).
std::optional<QString> privateFolder(const QStringList& components);
