// Mutexes left owned by a thread that ends.
#pragma once

namespace qf::device {

// The ending thread itself, KernelLock not held. Releases every mutex the calling thread still owns
// and marks each abandoned, so that the next owner learns of it (WAIT_ABANDONED). Threads made by
// CreateThread call it before their handle signals; for any other thread it runs as its thread-local
// storage is destroyed.
void AbandonMutexesOfThisThread();

}  // namespace qf::device
