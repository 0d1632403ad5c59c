#pragma once

#include <QString>

// Conditions that root would otherwise walk straight through, so that the tests for them run
// under CI (as root) as well as for a normal user.
namespace sandbox {

// Gives this process its own copy of the mount table, so that what a test mounts stays private
// to it and goes away with it. Needs root; false when not possible. Call it from the main thread
// before the threads that should see the mounts are started.
bool privateMounts();

// Makes a folder unwritable for this process: a read-only bind mount of it onto itself inside
// the private mount table when running as root, chmod 0555 otherwise. False when the folder is
// still writable afterwards.
bool makeReadOnly(const QString& folder);

// Mounts a tmpfs of that many bytes over folder inside the private mount table, so that writing
// there soon finds the disk full. Needs root; false when not possible.
bool mountTinyDisk(const QString& folder, qint64 bytes);

} // namespace sandbox
