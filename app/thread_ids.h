// Identifiers under which the installer's two framework threads register (kbase::ThreadRegistry).
#pragma once

enum InstallerThreadId : int {
  kThreadUI = 0,    // the process's first thread, running the window and its UI loop
  kThreadMisc = 1,  // "Global Chores Thread": runs the install pipeline
};
