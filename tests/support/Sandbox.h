#pragma once

#include <QString>

// Folders that refuse writing, for tests that must also work as root (CI runs as root, and root
// ignores permission bits). As root the tests get a private mount namespace, so their mounts are
// invisible to the rest of the machine and vanish with the process.
//
// A mount namespace belongs to a thread: call privateMounts() at the start of main(), before any
// thread exists, so that the threads started later (image writer, media engine) share it.
namespace sandbox {

// Enters a private mount namespace once per process; root only. False when not possible.
bool privateMounts();
// Makes folder read-only: a read-only bind mount of it in the private namespace as root, chmod
// 0555 otherwise. False if impossible.
bool makeReadOnly(const QString& folder);
// Mounts a tmpfs of that many bytes over folder; root only. False if impossible.
bool mountTinyDisk(const QString& folder, qint64 bytes);

} // namespace sandbox
