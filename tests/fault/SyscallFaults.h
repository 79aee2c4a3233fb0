#pragma once

// Makes the k-th file system call of this thread fail, as a full or broken medium would. Counted calls:
// opening (open, openat, mkstemp, fopen, fdopen), writing (write, pwrite, writev, fwrite), flushing to the
// medium (fsync, fdatasync), renaming (rename, renameat, renameat2, linkat) and closing (close, fclose).
namespace faults {

enum class Call { Open, Write, Sync, Rename, Close };

// From now on this thread's calls are counted; call number `failAt` (1-based, 0 for none) fails with `error`.
void arm(int failAt, int error);
// Stops counting; the number of calls counted.
int disarm();
// Whether the armed fault was hit, and which kind of call it hit.
bool hit();
Call hitCall();
const char* name(Call call);

} // namespace faults
