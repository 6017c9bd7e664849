#include "program/single_instance.h"

namespace {

QLockFile& unstale(QLockFile& lock) {
    lock.setStaleLockTime(0);  // only a lock held by a live process counts
    return lock;
}

} // namespace

SingleInstance::SingleInstance(const QString& tempFolder)
    : lock_(tempFolder + QStringLiteral("/Mireo.lock")),
      acquired_(unstale(lock_).tryLock(0) || lock_.error() != QLockFile::LockFailedError) {}
