#include "app/misc_thread.h"

#include "base/thread_registry.h"

// The loop must have ended (and Cleanup run) before this object's hooks go away.
MiscThread::~MiscThread() { Stop(); }

void MiscThread::Init() { kbase::ThreadRegistry::RegisterCurrentThread(identifier_); }

void MiscThread::Cleanup() { kbase::ThreadRegistry::UnregisterCurrentThread(); }
