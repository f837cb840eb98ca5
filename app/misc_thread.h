// The installer's worker thread ("Global Chores Thread"): a framework thread with a default loop
// that registers itself under its identifier while its loop runs. It initialises no COM; the
// steps it runs do that themselves where they need it.
#pragma once

#include "base/framework_thread.h"

class MiscThread : public kbase::FrameworkThread {
 public:
  MiscThread(int identifier, const char* name) : kbase::FrameworkThread(name), identifier_(identifier) {}
  ~MiscThread() override;

  int identifier() const { return identifier_; }

 protected:
  void Init() override;
  void Cleanup() override;

 private:
  int identifier_;
};
